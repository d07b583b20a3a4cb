#include "widgets/CSimpleTextWidget.h"

#include "widgets/CUiResource.h"

#include <QPainter>

namespace XP {

CSimpleTextWidget::CSimpleTextWidget(bool bold, int size, const QString& text, QWidget* parent)
    : QWidget(parent)
    , bold(bold)
    , size(size)
{
    content.setTextFormat(Qt::PlainText);
    content.setPerformanceHint(QStaticText::AggressiveCaching);
    content.setText(text);
}

void CSimpleTextWidget::setText(const QString& text, int maxLength)
{
    content.setText(maxLength >= 0 && text.size() > maxLength ? text.left(maxLength) : text);
    update();
}

void CSimpleTextWidget::setColorKey(const QString& key)
{
    colorName = key;
    update();
}

void CSimpleTextWidget::setFlag(int alignmentFlags)
{
    alignment = alignmentFlags;
    update();
}

QFont CSimpleTextWidget::textFont() const
{
    QFont font = CUiResource::instance()->font(size);
    if (bold) {
        font.setBold(true);
    }
    return font;
}

QSize CSimpleTextWidget::sizeHint() const
{
    const QFontMetrics metrics(textFont());
    return {metrics.horizontalAdvance(content.text()) + 1, metrics.height()};
}

void CSimpleTextWidget::paintEvent(QPaintEvent*)
{
    if (content.text().isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setFont(textFont());
    painter.setPen(CUiResource::instance()->getColor(colorName));
    const QSizeF textSize = content.size();
    qreal x = 0;
    if (alignment & Qt::AlignRight) {
        x = width() - textSize.width();
    } else if (alignment & Qt::AlignHCenter) {
        x = (width() - textSize.width()) / 2;
    }
    qreal y = (height() - textSize.height()) / 2;
    if (alignment & Qt::AlignTop) {
        y = 0;
    } else if (alignment & Qt::AlignBottom) {
        y = height() - textSize.height();
    }
    painter.drawStaticText(QPointF(x, y), content);
}

} // namespace XP
