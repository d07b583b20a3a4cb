#include "CHostFixture.h"

#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "services/CUserManager.h"
#include "utils/CSingletonT.h"
#include "widgets/CMessageBoxScript.h"

namespace tds {

const std::string CHostFixture::systemName = "主系统";

void CHostFixture::start(std::shared_ptr<IMC::ITradingDayBackend> backend)
{
    center()->resetForTests();
    user()->resetForTests();
    XP::CMessageBoxScript::reset();
    XP::CMessageBoxScript::enable(true);
    center()->registerSystem(systemName, std::move(backend));
}

bool CHostFixture::finish()
{
    const bool idle = waitForAnswers();
    XP::CMessageBoxScript::reset();
    return idle;
}

IMC::CItsmClientCenter* CHostFixture::center()
{
    return utils::CSingletonT<IMC::CItsmClientCenter>::instance();
}

IMC::CUserManager* CHostFixture::user()
{
    return utils::CSingletonT<IMC::CUserManager>::instance();
}

boost::shared_ptr<IMC::CItsmClient> CHostFixture::client()
{
    return center()->getClientByName(std::string());
}

bool CHostFixture::waitForAnswers()
{
    return client()->waitUntilIdle(5000);
}

QStringList CHostFixture::boxes()
{
    QStringList shown;
    for (const XP::CMessageBoxCall& call : XP::CMessageBoxScript::calls()) {
        shown << call.kind + QLatin1Char('|') + call.title + QLatin1Char('|') + call.text;
    }
    return shown;
}

} // namespace tds
