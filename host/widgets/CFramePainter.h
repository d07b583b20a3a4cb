#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace XP {

// One-pixel frames and lines drawn as filled rectangles: the raster engine fills rectangles row by row,
// while pen strokes go pixel by pixel, which is many times slower for the long lines of frames and grids.
class CFramePainter
{
public:
    static void drawFrame(QPainter* painter, const QRect& rect, const QColor& color);
    // An opaque box: the frame colour under a fill one pixel smaller on each side, two fills in all.
    static void drawFilledFrame(QPainter* painter, const QRect& rect, const QColor& frame,
                                const QColor& fill);
    static void drawHorizontalLine(QPainter* painter, int x, int y, int length, const QColor& color);
    static void drawVerticalLine(QPainter* painter, int x, int y, int length, const QColor& color);
};

} // namespace XP
