#include "services/CUserManager.h"

#include <QtGlobal>

template<> IMC::CUserManager* utils::CSingletonT<IMC::CUserManager>::instance()
{
    static IMC::CUserManager manager;
    return &manager;
}

namespace IMC {

CUserManager::CUserManager()
    : grantedRights{RightTradingDayMaintenance}
    , name(osUserName())
{}

bool CUserManager::checkUserAuth(int right) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return grantedRights.contains(right);
}

void CUserManager::setRights(const QSet<int>& rights)
{
    std::lock_guard<std::mutex> lock(mutex);
    grantedRights = rights;
}

void CUserManager::revokeRight(int right)
{
    std::lock_guard<std::mutex> lock(mutex);
    grantedRights.remove(right);
}

void CUserManager::setUserName(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex);
    this->name = name;
}

std::string CUserManager::userName() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return name;
}

void CUserManager::resetForTests()
{
    std::lock_guard<std::mutex> lock(mutex);
    grantedRights = QSet<int>{RightTradingDayMaintenance};
    name = osUserName();
}

std::string CUserManager::osUserName()
{
    for (const char* variable : {"USER", "USERNAME", "LOGNAME"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) {
            return value.toStdString();
        }
    }
    return "operator";
}

} // namespace IMC
