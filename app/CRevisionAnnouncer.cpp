#include "CRevisionAnnouncer.h"

#include "CRevisionWatcher.h"
#include "CSqlTradingDayBackend.h"

#include "records/EZRMarketType.h"
#include "services/CItsmClientCenter.h"
#include "utils/CSingletonT.h"

namespace IMC {
namespace {

CItsmClientCenter* clientCenter()
{
    return utils::CSingletonT<CItsmClientCenter>::instance();
}

// The title of the page that shows the market; for an overseas exchange, the overseas page's and the
// exchange's name.
QString pageName(const CStoreRevision& revision)
{
    switch (revision.marketType) {
    case ttservice::EZR_MarketDomestic:
        return QStringLiteral("境内市场交易日");
    case ttservice::EZR_MarketHKConnect:
        return QStringLiteral("港股通交易日");
    case ttservice::EZR_MarketElectronic:
        return QStringLiteral("电子盘交易日");
    case ttservice::EZR_MarketOverseas:
        return QStringLiteral("境外交易日 ") + QString::fromStdString(revision.exchangeName);
    default:
        return QStringLiteral("其他市场交易日");
    }
}

} // namespace

CRevisionAnnouncer::CRevisionAnnouncer(QWidget* window)
    : QObject(window)
    , window(window)
{}

CRevisionAnnouncer::~CRevisionAnnouncer() = default;

void CRevisionAnnouncer::watch(const std::shared_ptr<CSqlTradingDayBackend>& store)
{
    watcher.reset();
    if (!store) {
        return;
    }
    watcher = std::make_unique<CRevisionWatcher>(store);
    connect(watcher.get(), &CRevisionWatcher::sigRevisionsWaiting, this,
            &CRevisionAnnouncer::slotRevisionsWaiting, Qt::QueuedConnection);
}

QString CRevisionAnnouncer::announcement(const CStoreRevision& revision)
{
    return QStringLiteral("%1 交易日已被 %2 修改（修订 %3）")
        .arg(pageName(revision), QString::fromStdString(revision.operatorName))
        .arg(revision.id);
}

void CRevisionAnnouncer::slotRevisionsWaiting()
{
    if (!watcher) {
        return;
    }
    for (const CStoreRevision& revision : watcher->takeRevisions()) {
        clientCenter()->showServerMsgCallBack(EServerCallbackMsg_Success, true, window,
                                              QStringLiteral("交易日设置"), announcement(revision), true,
                                              false);
    }
}

} // namespace IMC
