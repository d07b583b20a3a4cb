#include "widgets/CFramePainter.h"

#include <QPainter>

namespace XP {

void CFramePainter::drawFrame(QPainter* painter, const QRect& rect, const QColor& color)
{
    if (rect.isEmpty()) {
        return;
    }
    drawHorizontalLine(painter, rect.left(), rect.top(), rect.width(), color);
    drawHorizontalLine(painter, rect.left(), rect.bottom(), rect.width(), color);
    drawVerticalLine(painter, rect.left(), rect.top() + 1, rect.height() - 2, color);
    drawVerticalLine(painter, rect.right(), rect.top() + 1, rect.height() - 2, color);
}

void CFramePainter::drawFilledFrame(QPainter* painter, const QRect& rect, const QColor& frame,
                                    const QColor& fill)
{
    painter->fillRect(rect, frame);
    painter->fillRect(rect.adjusted(1, 1, -1, -1), fill);
}

void CFramePainter::drawHorizontalLine(QPainter* painter, int x, int y, int length, const QColor& color)
{
    if (length > 0) {
        painter->fillRect(x, y, length, 1, color);
    }
}

void CFramePainter::drawVerticalLine(QPainter* painter, int x, int y, int length, const QColor& color)
{
    if (length > 0) {
        painter->fillRect(x, y, 1, length, color);
    }
}

} // namespace XP
