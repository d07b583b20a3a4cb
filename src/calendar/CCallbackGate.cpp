#include "calendar/CCallbackGate.h"

#include <boost/thread/lock_guard.hpp>

namespace IMC {

void CCallbackGate::pass(const boost::function<void()>& call)
{
    boost::lock_guard<boost::recursive_mutex> lock(mutex);
    if (open) {
        call();
    }
}

void CCallbackGate::close()
{
    boost::lock_guard<boost::recursive_mutex> lock(mutex);
    open = false;
}

} // namespace IMC
