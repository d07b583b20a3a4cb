#pragma once

#include <boost/function.hpp>
#include <boost/thread/recursive_mutex.hpp>

namespace IMC {

// Lets service callbacks reach an object only while it lives. The object shares the gate with the
// callbacks it hands to the host and closes it in its destructor; a callback that runs later on a host
// thread then finds it closed and does nothing. Closing waits for a callback that is passing through.
class CCallbackGate
{
public:
    // Runs call unless the gate has been closed.
    void pass(const boost::function<void()>& call);
    void close();

private:
    boost::recursive_mutex mutex;
    bool open = true;
};

} // namespace IMC
