#pragma once

#include "utils/CSingletonT.h"

#include <QSet>

#include <mutex>
#include <string>

namespace IMC {

// The logged-in operator: name and rights. Thread-safe.
class CUserManager
{
public:
    static constexpr int RightTradingDayMaintenance = 10615;

    // Operator named after the OS user, holding right 10615.
    CUserManager();

    bool checkUserAuth(int right) const;
    void setRights(const QSet<int>& rights);
    void revokeRight(int right);

    void setUserName(const std::string& name);
    std::string userName() const;

    // Back to the operator the constructor makes.
    void resetForTests();

private:
    static std::string osUserName();

    mutable std::mutex mutex;
    QSet<int> grantedRights;
    std::string name;
};

} // namespace IMC

template<> IMC::CUserManager* utils::CSingletonT<IMC::CUserManager>::instance();
