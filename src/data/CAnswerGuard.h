#pragma once

#include <boost/function.hpp>

#include <memory>
#include <mutex>
#include <utility>

namespace IMC {

// Keeps service answers away from a receiver that is gone. The host runs answer callbacks on its own
// threads and keeps no track of who asked; a page or dialog may be destroyed while its request is
// outstanding. The receiver owns a guard (a member) and hands the host callbacks wrapped by it; the
// guard's destructor waits for a callback that is running and makes every later one a no-op.
class CAnswerGuard
{
public:
    CAnswerGuard()
        : state(std::make_shared<State>())
    {}
    ~CAnswerGuard() { close(); }
    CAnswerGuard(const CAnswerGuard&) = delete;
    CAnswerGuard& operator=(const CAnswerGuard&) = delete;

    // From now on no wrapped callback reaches its receiver. Call it first thing in the receiver's
    // destructor when the callbacks use members that die before the guard.
    void close()
    {
        std::lock_guard<std::recursive_mutex> lock(state->mutex);
        state->open = false;
    }

    template<class Signature, class Callable> boost::function<Signature> wrap(Callable callable) const
    {
        return Wrapped<Signature, Callable>{state, std::move(callable)};
    }

private:
    struct State
    {
        std::recursive_mutex mutex;
        bool open = true;
    };

    template<class Signature, class Callable> struct Wrapped
    {
        std::shared_ptr<State> state;
        Callable callable;

        template<class... Args> void operator()(Args&&... args) const
        {
            std::lock_guard<std::recursive_mutex> lock(state->mutex);
            if (state->open) {
                callable(std::forward<Args>(args)...);
            }
        }
    };

    std::shared_ptr<State> state;
};

} // namespace IMC
