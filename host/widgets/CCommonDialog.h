#pragma once

#include "widgets/CBaseDialog.h"

#include <QPointer>
#include <QString>

namespace XP {

class CSmallNormalButton;

// A frameless modal dialog with a painted frame and title bar. The title bar's close control delivers
// (5, 101) to the dialog itself; unless a subclass consumes it, the dialog then rejects.
class CCommonDialog : public CBaseDialog
{
    Q_OBJECT
public:
    static constexpr int closeId = 101;
    static constexpr int titleBarHeight = 30;
    static constexpr int frameWidth = 1;

    explicit CCommonDialog(QWidget* parent);

    void setTitle(const QString& title);
    QString title() const { return titleText; }

    // w fills the dialog below the title bar, inside the frame.
    void setInnerWidget(QWidget* w);
    QWidget* innerWidget() const { return inner; }
    CSmallNormalButton* closeButton() const { return closeControl; }

    bool handleEvent(int type, int id, int param, QString text, void* data) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void placeChildren();
    QRect titleBarRect() const;

    QString titleText;
    CSmallNormalButton* closeControl;
    QPointer<QWidget> inner;
    QPoint dragOffset;
    bool dragging = false;
};

} // namespace XP
