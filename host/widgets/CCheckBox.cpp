#include "widgets/CCheckBox.h"

#include "widgets/CUiResource.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace XP {

namespace {
constexpr int fontSize = 0;
constexpr int boxSize = 12;
constexpr int textGap = 4;
} // namespace

CCheckBox::CCheckBox(int id, const QString& text, const QString& alternativeText, QWidget* parent)
    : CEventWidgetT<QWidget>(parent)
    , boxId(id)
{
    setFocusPolicy(Qt::StrongFocus);
    label.setTextFormat(Qt::PlainText);
    label.setPerformanceHint(QStaticText::AggressiveCaching);
    label.setText(text.isEmpty() ? alternativeText : text);
}

void CCheckBox::setText(const QString& text)
{
    label.setText(text);
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
    const QFontMetrics& metrics = CUiResource::instance()->fontMetrics(fontSize);
    return {boxSize + textGap + metrics.horizontalAdvance(label.text()) + 1,
            std::max(boxSize, metrics.height())};
}

void CCheckBox::paintEvent(QPaintEvent*)
{
    CUiResource* theme = CUiResource::instance();
    QPainter painter(this);
    const bool enabled = isEnabled();
    const QColor textColor =
        theme->getColor(enabled ? QStringLiteral("clr_default_text") : QStringLiteral("clr_disabled_text"));
    const QRectF box(0.5, (height() - boxSize) / 2 + 0.5, boxSize - 1, boxSize - 1);
    painter.setPen(theme->getColor(QStringLiteral("clr_frame")));
    painter.setBrush(theme->getColor(pressed ? QStringLiteral("clr_button_down")
                                             : QStringLiteral("clr_table_background")));
    painter.drawRect(box);
    if (state == Qt::Checked) {
        painter.setRenderHint(QPainter::Antialiasing);
        QPen tick(enabled ? theme->getColor(QStringLiteral("clr_accent")) : textColor, 2);
        painter.setPen(tick);
        const QPointF points[] = {box.topLeft() + QPointF(2.5, 5.5), box.topLeft() + QPointF(4.5, 8),
                                  box.topLeft() + QPointF(9, 2.5)};
        painter.drawPolyline(points, 3);
        painter.setRenderHint(QPainter::Antialiasing, false);
    } else if (state == Qt::PartiallyChecked) {
        painter.fillRect(box.adjusted(3, 3, -3, -3), theme->getColor(QStringLiteral("clr_accent")));
    }
    painter.setPen(textColor);
    painter.setFont(theme->font(fontSize));
    painter.drawStaticText(QPointF(boxSize + textGap, (height() - label.size().height()) / 2), label);
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
