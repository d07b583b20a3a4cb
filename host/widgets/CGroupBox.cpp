#include "widgets/CGroupBox.h"

#include "widgets/CFramePainter.h"
#include "widgets/CUiResource.h"

#include <QPainter>

namespace XP {

CGroupBox::CGroupBox(QWidget* parent)
    : CBaseWidget(QStringLiteral("group_box"), false, parent)
{
    // Nothing watches its parent's child events for this light widget; sparing them saves several event
    // dispatches each time it is polished, moved into a list or destroyed.
    setAttribute(Qt::WA_NoChildEventsForParent);
}

void CGroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    CFramePainter::drawFrame(&painter, rect(),
                             CUiResource::instance()->getColor(QStringLiteral("clr_frame")));
}

} // namespace XP
