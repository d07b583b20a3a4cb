#pragma once

#include "widgets/CEventWidgetT.h"
#include "widgets/CUiResourceChangeHandler.h"

#include <QPointer>
#include <QWidget>

namespace XP {

// The base of every framework widget that can be activated: an event-bus node and a theme handler.
class CBaseWidget : public CEventWidgetT<QWidget>, public CUiResourceChangeHandler
{
    Q_OBJECT
public:
    // fillBackground: paint the theme's "clr_window" behind the children.
    CBaseWidget(const QString& objectName, bool fillBackground, QWidget* parent);
    ~CBaseWidget() override;

    virtual void onActive();
    virtual void onDeactive();
    bool isActive() const { return active; }

    // Makes w fill this widget minus the given margins, now and on every resize.
    void setInnerStretchWidget(QWidget* w, int left, int top, int right, int bottom);
    QWidget* innerStretchWidget() const { return innerWidget; }

    bool handleEvent(int type, int id, int param, QString text, void* data) override;
    void scaleChanged() override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeInnerWidget();

    bool active = false;
    QPointer<QWidget> innerWidget;
    QMargins innerMargins;
};

} // namespace XP
