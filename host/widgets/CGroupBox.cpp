#include "widgets/CGroupBox.h"

#include "widgets/CUiResource.h"

#include <QPainter>

namespace XP {

CGroupBox::CGroupBox(QWidget* parent)
    : CBaseWidget(QStringLiteral("group_box"), false, parent)
{}

void CGroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(CUiResource::instance()->getColor(QStringLiteral("clr_frame")));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace XP
