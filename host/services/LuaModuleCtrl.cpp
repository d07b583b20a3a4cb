#include "services/LuaModuleCtrl.h"

#include <algorithm>

template<> luawrapper::LuaModuleCtrl* utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance()
{
    static luawrapper::LuaModuleCtrl control;
    return &control;
}

namespace luawrapper {

bool LuaModuleCtrl::checkModule(const std::list<std::string>& modules) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return std::all_of(modules.begin(), modules.end(),
                       [this](const std::string& module) { return enabled.count(module) > 0; });
}

void LuaModuleCtrl::setModule(const std::string& module, bool on)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (on) {
        enabled.insert(module);
    } else {
        enabled.erase(module);
    }
}

void LuaModuleCtrl::resetForTests()
{
    std::lock_guard<std::mutex> lock(mutex);
    enabled.clear();
}

} // namespace luawrapper

std::list<std::string> operator<<(const std::string& first, const std::string& second)
{
    return std::list<std::string>{first, second};
}
