#include "widgets/CScrollArea.h"

namespace XP {

CScrollArea::CScrollArea(QWidget* parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
}

} // namespace XP
