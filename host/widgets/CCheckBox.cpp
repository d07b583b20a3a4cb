#include "widgets/CCheckBox.h"

#include "widgets/CFramePainter.h"
#include "widgets/CUiResource.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace XP {

namespace {
constexpr int fontSize = 0;
constexpr int boxSize = 12;
constexpr int textGap = 4;
} // namespace

CCheckBox::CCheckBox(int id, const QString& text, const QString& alternativeText, QWidget* parent)
    : CEventWidgetT<QWidget>(parent)
    , boxId(id)
    , label(text.isEmpty() ? alternativeText : text)
{
    setFocusPolicy(Qt::StrongFocus);
    // Nothing watches its parent's child events for this light widget; sparing them saves several event
    // dispatches each time it is polished, moved into a list or destroyed.
    setAttribute(Qt::WA_NoChildEventsForParent);
}

void CCheckBox::setText(const QString& text)
{
    label = text;
    hintGeneration = -1;
    updateGeometry();
    update();
}

void CCheckBox::setChecked(bool checked)
{
    setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void CCheckBox::setCheckState(Qt::CheckState checkState)
{
    if (state != checkState) {
        state = checkState;
        update();
    }
}

QSize CCheckBox::sizeHint() const
{
    CUiResource* theme = CUiResource::instance();
    if (hintGeneration != theme->generation()) {
        const QSizeF textSize = theme->textSize(label, fontSize);
        cachedHint = QSize(boxSize + textGap + int(std::ceil(textSize.width())),
                           std::max(boxSize, int(std::ceil(textSize.height()))));
        hintGeneration = theme->generation();
    }
    return cachedHint;
}

bool CCheckBox::event(QEvent* event)
{
    return CUiResource::takeStylePolish(this, event) || QWidget::event(event);
}

void CCheckBox::paintEvent(QPaintEvent*)
{
    CUiResource* theme = CUiResource::instance();
    QPainter painter(this);
    const bool enabled = isEnabled();
    const QColor textColor =
        theme->getColor(enabled ? QStringLiteral("clr_default") : QStringLiteral("clr_disabled_text"));
    const QRect box(0, (height() - boxSize) / 2, boxSize, boxSize);
    CFramePainter::drawFilledFrame(&painter, box, theme->getColor(QStringLiteral("clr_frame")),
                                   theme->getColor(pressed ? QStringLiteral("clr_button_down")
                                                           : QStringLiteral("clr_table_background")));
    const QColor mark = enabled ? theme->getColor(QStringLiteral("clr_accent")) : textColor;
    if (state == Qt::Checked) {
        painter.fillRect(box.adjusted(3, 3, -3, -3), mark);
    } else if (state == Qt::PartiallyChecked) {
        painter.fillRect(box.adjusted(3, boxSize / 2 - 1, -3, -(boxSize / 2 - 1)), mark);
    }
    const QSizeF textSize = theme->textSize(label, fontSize);
    theme->drawText(&painter, QPointF(boxSize + textGap, (height() - textSize.height()) / 2), label, fontSize,
                    false, textColor);
}

void CCheckBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        pressed = true;
        update();
    }
}

void CCheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed) {
        return;
    }
    pressed = false;
    update();
    if (rect().contains(event->pos())) {
        toggleByOperator();
    }
}

void CCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        toggleByOperator();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void CCheckBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        pressed = false;
        update();
    }
    QWidget::changeEvent(event);
}

void CCheckBox::toggleByOperator()
{
    if (!isEnabled()) {
        return;
    }
    setCheckState(state == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    deliverEvent(eventType, boxId, 0, QString(), nullptr);
}

} // namespace XP
