#include "widgets/CSimpleTextWidget.h"

#include "widgets/CUiResource.h"

#include <QPainter>

#include <cmath>

namespace XP {

CSimpleTextWidget::CSimpleTextWidget(bool bold, int size, const QString& text, QWidget* parent)
    : QWidget(parent)
    , bold(bold)
    , size(size)
    , content(text)
{
    // Nothing watches its parent's child events for this light widget; sparing them saves several event
    // dispatches each time it is polished, moved into a list or destroyed.
    setAttribute(Qt::WA_NoChildEventsForParent);
}

void CSimpleTextWidget::setText(const QString& text, int maxLength)
{
    content = maxLength >= 0 && text.size() > maxLength ? text.left(maxLength) : text;
    hintGeneration = -1;
    updateGeometry();
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

QSize CSimpleTextWidget::sizeHint() const
{
    CUiResource* theme = CUiResource::instance();
    if (hintGeneration != theme->generation()) {
        const QSizeF textSize = theme->textSize(content, size, bold);
        cachedHint = QSize(int(std::ceil(textSize.width())), int(std::ceil(textSize.height())));
        hintGeneration = theme->generation();
    }
    return cachedHint;
}

bool CSimpleTextWidget::event(QEvent* event)
{
    return CUiResource::takeStylePolish(this, event) || QWidget::event(event);
}

void CSimpleTextWidget::paintEvent(QPaintEvent*)
{
    if (content.isEmpty()) {
        return;
    }
    CUiResource* theme = CUiResource::instance();
    const QSizeF textSize = theme->textSize(content, size, bold);
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
    QPainter painter(this);
    theme->drawText(&painter, QPointF(x, y), content, size, bold, theme->getColor(colorName));
}

} // namespace XP
