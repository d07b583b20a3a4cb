#pragma once

#include "CStoreRevision.h"

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace IMC {

class CRevisionWatcher;
class CSqlTradingDayBackend;

// Tells the operator through the host's server-message toast when another desk saves, deletes or restores a
// market of the store watched: "<页面名称> 交易日已被 <操作员> 修改（修订 <编号>）". It never reloads a page:
// the operator refreshes when ready, and a save based on the older state is refused by the store meanwhile.
class CRevisionAnnouncer : public QObject
{
    Q_OBJECT

public:
    // Toasts are shown near window, which owns the announcer.
    explicit CRevisionAnnouncer(QWidget* window);
    ~CRevisionAnnouncer() override;

    // Watches store from now on, instead of the one before; null watches nothing.
    void watch(const std::shared_ptr<CSqlTradingDayBackend>& store);

    static QString announcement(const CStoreRevision& revision);

private:
    void slotRevisionsWaiting();

    QWidget* window;
    std::unique_ptr<CRevisionWatcher> watcher;
};

} // namespace IMC
