#pragma once

#include "widgets/CEventWidgetT.h"

#include <QString>

namespace XP {

// A light push button: a click (press and release inside, while enabled) delivers (5, id, 0, "", null).
// Space or Enter while it has the focus counts as a click.
class CSmallNormalButton : public CEventWidgetT<QWidget>
{
    Q_OBJECT
public:
    enum EButtonType
    {
        eFlat = 0,     // no frame until pressed
        eStandard = 1, // framed, filled
    };
    static constexpr int eventType = 5;

    // highlighted: drawn in the theme's accent colour, for the main action of a dialog.
    CSmallNormalButton(int id, bool highlighted, int buttonType, QWidget* parent);

    void setText(const QString& text);
    QString text() const { return label; }
    int id() const { return buttonId; }
    int buttonType() const { return type; }
    bool isHighlighted() const { return highlighted; }
    bool isDown() const { return down; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void click();
    void setDown(bool pressed);

    int buttonId;
    bool highlighted;
    int type;
    bool down = false;
    QString label;
    // Lists ask for the hint on every layout; it changes only with the text and the scale.
    mutable QSize cachedHint;
    mutable int hintGeneration = -1;
};

} // namespace XP
