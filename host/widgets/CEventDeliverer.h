#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace XP {

// A node of the event bus. Every deliverer has at most one owner, fixed at construction; a deliverer hands
// its events to the owner's handleEvent, and the base handleEvent passes them on up to its own owner.
class CEventDeliverer
{
public:
    explicit CEventDeliverer(CEventDeliverer* owner);
    virtual ~CEventDeliverer();

    CEventDeliverer(const CEventDeliverer&) = delete;
    CEventDeliverer& operator=(const CEventDeliverer&) = delete;

    // Hands the event to the owner; false when there is no owner (any more) or the owner did not consume it.
    bool deliverEvent(int type, int id, int param, QString text, void* data);

    // Returns true when the event is consumed. The base implementation passes the event on to the owner.
    virtual bool handleEvent(int type, int id, int param, QString text, void* data);

    // The owner given at construction, or null once that owner has been destroyed.
    CEventDeliverer* eventOwner() const;

    // The widget itself when it is a deliverer, else its nearest ancestor that is one; null when none is.
    static CEventDeliverer* nearestDeliverer(QWidget* widget);

private:
    std::weak_ptr<char> lifeWatch();

    CEventDeliverer* owner;
    std::weak_ptr<char> ownerAlive;
    // Created when the first child asks for it; reset on destruction so children notice.
    std::shared_ptr<char> alive;
};

} // namespace XP
