#include "widgets/CSmallNormalButton.h"

#include "widgets/CFramePainter.h"
#include "widgets/CUiResource.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

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
    // Nothing watches its parent's child events for this light widget; sparing them saves several event
    // dispatches each time it is polished, moved into a list or destroyed.
    setAttribute(Qt::WA_NoChildEventsForParent);
}

void CSmallNormalButton::setText(const QString& text)
{
    label = text;
    hintGeneration = -1;
    updateGeometry();
    update();
}

QSize CSmallNormalButton::sizeHint() const
{
    CUiResource* theme = CUiResource::instance();
    if (hintGeneration != theme->generation()) {
        const QSizeF textSize = theme->textSize(label, fontSize);
        cachedHint = QSize(int(std::ceil(textSize.width())) + 2 * horizontalPadding,
                           int(std::ceil(textSize.height())) + 2 * verticalPadding);
        hintGeneration = theme->generation();
    }
    return cachedHint;
}

bool CSmallNormalButton::event(QEvent* event)
{
    return CUiResource::takeStylePolish(this, event) || QWidget::event(event);
}

void CSmallNormalButton::paintEvent(QPaintEvent*)
{
    CUiResource* theme = CUiResource::instance();
    QPainter painter(this);
    const bool enabled = isEnabled();
    if (type != eFlat || down) {
        QColor fill =
            theme->getColor(down ? QStringLiteral("clr_button_down") : QStringLiteral("clr_button"));
        if (highlighted && enabled && !down) {
            fill = theme->getColor(QStringLiteral("clr_accent"));
        }
        CFramePainter::drawFilledFrame(&painter, rect(), theme->getColor(QStringLiteral("clr_frame")), fill);
    }
    if (label.isEmpty()) {
        return;
    }
    QColor textColor = theme->getColor(QStringLiteral("clr_default"));
    if (!enabled) {
        textColor = theme->getColor(QStringLiteral("clr_disabled_text"));
    } else if (highlighted && !down && type != eFlat) {
        textColor = Qt::white;
    }
    const QSizeF textSize = theme->textSize(label, fontSize);
    theme->drawText(&painter, QPointF((width() - textSize.width()) / 2, (height() - textSize.height()) / 2),
                    label, fontSize, false, textColor);
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
