#pragma once

#include "widgets/CEventDeliverer.h"

#include <QWidget>

#include <utility>

namespace XP {

// A widget class W that takes part in the event bus. Its owner is the nearest deliverer at or above the
// parent it is built with; re-parenting the widget later does not change the owner.
template<class W> class CEventWidgetT : public W, public CEventDeliverer
{
public:
    template<class... Args>
    explicit CEventWidgetT(QWidget* parent = nullptr, Args&&... args)
        : W(parent, std::forward<Args>(args)...)
        , CEventDeliverer(CEventDeliverer::nearestDeliverer(parent))
    {}
};

} // namespace XP
