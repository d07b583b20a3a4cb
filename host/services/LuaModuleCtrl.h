#pragma once

#include "utils/CSingletonT.h"

#include <list>
#include <mutex>
#include <set>
#include <string>

namespace luawrapper {

// The host's module switches, all off until switched on. Thread-safe.
class LuaModuleCtrl
{
public:
    // True when every listed module is on (so also for an empty list).
    bool checkModule(const std::list<std::string>& modules) const;
    void setModule(const std::string& module, bool on);
    // Switches every module off.
    void resetForTests();

private:
    mutable std::mutex mutex;
    std::set<std::string> enabled;
};

} // namespace luawrapper

template<> luawrapper::LuaModuleCtrl* utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();

// A module list of two: std::string("a") << "b".
std::list<std::string> operator<<(const std::string& first, const std::string& second);
