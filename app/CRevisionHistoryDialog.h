#pragma once

#include "CStoreRevision.h"

#include "utils/TTError.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace IMC {

class CSqlTradingDayBackend;

// The revisions the store keeps of one market or one overseas exchange, newest first; for the selected
// revision the days it added and removed against the revision before it; and "恢复此修订", which makes the
// selected state current again (kept by the store as a new revision) after the operator confirmed it.
//
// Threads: every store call runs on a pool thread and its result comes back to the GUI thread, so a slow or
// unreachable server never holds up the window; failures are shown in a message box. The store opens a
// connection of its own for each pool thread.
class CRevisionHistoryDialog : public QDialog
{
    Q_OBJECT

public:
    // marketType 0 to 3 (platformParam "14" or "15" for 3), or 4: the overseas exchanges, chosen in the
    // window, exchangeName (when not empty) first.
    CRevisionHistoryDialog(std::shared_ptr<CSqlTradingDayBackend> store, int marketType,
                           const std::string& platformParam, const QString& exchangeName,
                           QWidget* parent = nullptr);
    ~CRevisionHistoryDialog() override;

    // True while a store call has not come back.
    bool isBusy() const { return pendingCalls > 0; }

private:
    struct ExchangeList
    {
        utils::TTError error;
        QStringList names;
    };
    struct RevisionList
    {
        int load = 0; // which loadRevisions asked
        utils::TTError error;
        std::vector<CStoreRevision> revisions; // oldest first
    };
    struct DayChanges
    {
        utils::TTError error;
        long long revisionId = 0;
        QStringList added;
        QStringList removed;
    };

    template<typename Result>
    void runOffGuiThread(std::function<Result()> work, std::function<void(const Result&)> done);

    void createUi(const QString& subject);
    void loadExchanges(const QString& preferred);
    void showExchanges(const ExchangeList& list, const QString& preferred);
    void loadRevisions();
    void showRevisions(const RevisionList& list);
    void loadDayChanges();
    void showDayChanges(const DayChanges& changes);
    void restoreSelected();
    void showRestored(const utils::TTError& error);
    void showFailure(const utils::TTError& error);
    // Index into revisions of the selected row, or -1.
    int selectedRevision() const;
    void updateRestoreButton();

    const std::shared_ptr<CSqlTradingDayBackend> store;
    const int marketType;
    const std::string platformParam;
    std::vector<CStoreRevision> revisions; // oldest first, as the store lists them
    int pendingCalls = 0;
    int latestRevisionLoad = 0;
    bool restoring = false;
    QComboBox* exchangeCombo = nullptr;
    QTableWidget* revisionTable = nullptr;
    QListWidget* addedList = nullptr;
    QListWidget* removedList = nullptr;
    QPushButton* restoreButton = nullptr;
};

} // namespace IMC
