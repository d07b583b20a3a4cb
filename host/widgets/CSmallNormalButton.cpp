#include "widgets/CSmallNormalButton.h"

#include "widgets/CUiResource.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace XP {

namespace {
constexpr int fontSize = 0;
constexpr int horizontalPadding = 8;
constexpr int verticalPadding = 4;
} // namespace

CSmallNormalButton::CSmallNormalButton(int id, bool highlighted, int buttonType, QWidget* parent)
    : CEventWidgetT<QWidget>(parent)
    , buttonId(id)
    , highlighted(highlighted)
    , type(buttonType)
{
    setFocusPolicy(Qt::StrongFocus);
    label.setTextFormat(Qt::PlainText);
    label.setPerformanceHint(QStaticText::AggressiveCaching);
}

void CSmallNormalButton::setText(const QString& text)
{
    label.setText(text);
    update();
}

QSize CSmallNormalButton::sizeHint() const
{
    const QFontMetrics& metrics = CUiResource::instance()->fontMetrics(fontSize);
    return {metrics.horizontalAdvance(label.text()) + 2 * horizontalPadding,
            metrics.height() + 2 * verticalPadding};
}

void CSmallNormalButton::paintEvent(QPaintEvent*)
{
    CUiResource* theme = CUiResource::instance();
    QPainter painter(this);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool enabled = isEnabled();
    if (type != eFlat || down) {
        QColor fill =
            theme->getColor(down ? QStringLiteral("clr_button_down") : QStringLiteral("clr_button"));
        if (highlighted && enabled && !down) {
            fill = theme->getColor(QStringLiteral("clr_accent"));
        }
        painter.setPen(theme->getColor(QStringLiteral("clr_frame")));
        painter.setBrush(fill);
        painter.drawRoundedRect(frame, 2, 2);
    }
    QColor textColor = theme->getColor(QStringLiteral("clr_default_text"));
    if (!enabled) {
        textColor = theme->getColor(QStringLiteral("clr_disabled_text"));
    } else if (highlighted && !down && type != eFlat) {
        textColor = Qt::white;
    }
    painter.setPen(textColor);
    painter.setFont(theme->font(fontSize));
    const QSizeF textSize = label.size();
    painter.drawStaticText(QPointF((width() - textSize.width()) / 2, (height() - textSize.height()) / 2),
                           label);
}

void CSmallNormalButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        setDown(true);
    }
}

void CSmallNormalButton::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        setDown(rect().contains(event->pos()));
    }
}

void CSmallNormalButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const bool clicked = down && rect().contains(event->pos());
    setDown(false);
    if (clicked) {
        click();
    }
}

void CSmallNormalButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        click();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CSmallNormalButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        setDown(false);
        update();
    }
    QWidget::changeEvent(event);
}

void CSmallNormalButton::click()
{
    if (isEnabled()) {
        deliverEvent(eventType, buttonId, 0, QString(), nullptr);
    }
}

void CSmallNormalButton::setDown(bool pressed)
{
    if (down != pressed) {
        down = pressed;
        update();
    }
}

} // namespace XP
