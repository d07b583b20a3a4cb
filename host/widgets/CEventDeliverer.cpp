#include "widgets/CEventDeliverer.h"

#include "widgets/CBaseWidget.h"

#include <QWidget>

namespace XP {

CEventDeliverer::CEventDeliverer(CEventDeliverer* owner)
    : owner(owner)
{
    if (owner) {
        ownerAlive = owner->lifeWatch();
    }
}

CEventDeliverer::~CEventDeliverer() = default;

bool CEventDeliverer::deliverEvent(int type, int id, int param, QString text, void* data)
{
    CEventDeliverer* target = eventOwner();
    return target && target->handleEvent(type, id, param, text, data);
}

bool CEventDeliverer::handleEvent(int type, int id, int param, QString text, void* data)
{
    return deliverEvent(type, id, param, text, data);
}

CEventDeliverer* CEventDeliverer::eventOwner() const
{
    return ownerAlive.expired() ? nullptr : owner;
}

CEventDeliverer* CEventDeliverer::nearestDeliverer(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        // Most owners are base widgets, which the meta-object finds far faster than a cross-cast does.
        if (auto* baseWidget = qobject_cast<CBaseWidget*>(w)) {
            return baseWidget;
        }
        if (auto* deliverer = dynamic_cast<CEventDeliverer*>(w)) {
            return deliverer;
        }
    }
    return nullptr;
}

std::weak_ptr<char> CEventDeliverer::lifeWatch()
{
    if (!alive) {
        alive = std::make_shared<char>(0);
    }
    return alive;
}

} // namespace XP
