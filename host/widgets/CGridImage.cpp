#include "widgets/CGridImage.h"

#include "widgets/CImage.h"

#include <QPainter>

namespace XP {

void CGridImage::drawImage(QPainter* painter, CImage* image, const QRect& rect, const QPen& pen)
{
    if (!painter || !image || rect.isEmpty()) {
        return;
    }
    painter->drawPixmap(rect, image->pixmap());
    if (pen.style() != Qt::NoPen) {
        painter->save();
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

} // namespace XP
