#pragma once

#include <QPen>
#include <QRect>

class QPainter;

namespace XP {

class CImage;

class CGridImage
{
public:
    // Draws image scaled into rect and, unless pen is Qt::NoPen, a border in pen around it.
    static void drawImage(QPainter* painter, CImage* image, const QRect& rect, const QPen& pen);
};

} // namespace XP
