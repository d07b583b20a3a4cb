#include "CRevisionHistoryDialog.h"

#include "CSqlTradingDayBackend.h"

#include "records/CItsmQueryDataReq.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "records/EZRMarketType.h"
#include "services/CUserManager.h"
#include "utils/CSingletonT.h"
#include "utils/StringConversion.h"
#include "widgets/CMessageBox.h"

#include <QComboBox>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace IMC {
namespace {

const QString titleText = QStringLiteral("修订历史");

QString subjectText(int marketType, const std::string& platformParam)
{
    switch (marketType) {
    case ttservice::EZR_MarketDomestic:
        return QStringLiteral("境内市场");
    case ttservice::EZR_MarketHKConnect:
        return QStringLiteral("港股通");
    case ttservice::EZR_MarketElectronic:
        return platformParam == "15" ? QStringLiteral("利率电子盘市场") : QStringLiteral("期货电子盘市场");
    case ttservice::EZR_MarketOverseas:
        return QStringLiteral("境外交易所");
    default:
        return QStringLiteral("其他市场");
    }
}

// The dates of days that others lacks, in date order.
QStringList datesMissingFrom(const TradeDateMap& days, const TradeDateMap& others)
{
    QStringList dates;
    for (const auto& day : days) {
        if (others.find(day.first) == others.end()) {
            dates << QString::fromStdString(day.first);
        }
    }
    return dates;
}

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QWidget* titledList(const QString& title, QListWidget* list, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title, box));
    layout->addWidget(list);
    return box;
}

} // namespace

CRevisionHistoryDialog::CRevisionHistoryDialog(std::shared_ptr<CSqlTradingDayBackend> store, int marketType,
                                               const std::string& platformParam, const QString& exchangeName,
                                               QWidget* parent)
    : QDialog(parent)
    , store(std::move(store))
    , marketType(marketType)
    , platformParam(platformParam)
{
    const QString subject = subjectText(marketType, platformParam);
    setWindowTitle(QStringLiteral("%1 - %2").arg(titleText, subject));
    createUi(subject);
    if (marketType == ttservice::EZR_MarketOverseas) {
        loadExchanges(exchangeName);
    } else {
        loadRevisions();
    }
}

CRevisionHistoryDialog::~CRevisionHistoryDialog() = default;

void CRevisionHistoryDialog::createUi(const QString& subject)
{
    auto* layout = new QVBoxLayout(this);
    auto* subjectRow = new QHBoxLayout;
    subjectRow->addWidget(new QLabel(subject, this));
    if (marketType == ttservice::EZR_MarketOverseas) {
        exchangeCombo = new QComboBox(this);
        exchangeCombo->setMinimumWidth(220);
        subjectRow->addWidget(exchangeCombo);
        connect(exchangeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &CRevisionHistoryDialog::loadRevisions);
    }
    subjectRow->addStretch(1);
    layout->addLayout(subjectRow);

    const QStringList headers{QStringLiteral("编号"), QStringLiteral("时间"), QStringLiteral("操作员"),
                              QStringLiteral("操作"), QStringLiteral("交易日数")};
    revisionTable = new QTableWidget(0, headers.size(), this);
    revisionTable->setHorizontalHeaderLabels(headers);
    revisionTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    revisionTable->setSelectionMode(QAbstractItemView::SingleSelection);
    revisionTable->verticalHeader()->hide();
    revisionTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    revisionTable->horizontalHeader()->setStretchLastSection(true);
    connect(revisionTable, &QTableWidget::itemSelectionChanged, this,
            &CRevisionHistoryDialog::loadDayChanges);
    layout->addWidget(revisionTable, 3);

    auto* changesRow = new QHBoxLayout;
    addedList = new QListWidget(this);
    removedList = new QListWidget(this);
    changesRow->addWidget(titledList(QStringLiteral("新增交易日"), addedList, this));
    changesRow->addWidget(titledList(QStringLiteral("移除交易日"), removedList, this));
    layout->addLayout(changesRow, 2);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    restoreButton = new QPushButton(QStringLiteral("恢复此修订"), this);
    restoreButton->setEnabled(false);
    connect(restoreButton, &QPushButton::clicked, this, &CRevisionHistoryDialog::restoreSelected);
    buttonRow->addWidget(restoreButton);
    auto* closeButton = new QPushButton(QStringLiteral("关闭"), this);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    buttonRow->addWidget(closeButton);
    layout->addLayout(buttonRow);

    resize(760, 620);
}

template<typename Result>
void CRevisionHistoryDialog::runOffGuiThread(std::function<Result()> work,
                                             std::function<void(const Result&)> done)
{
    ++pendingCalls;
    auto* watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, done] {
        done(watcher->result());
        watcher->deleteLater();
        --pendingCalls;
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

void CRevisionHistoryDialog::loadExchanges(const QString& preferred)
{
    runOffGuiThread<ExchangeList>(
        [store = store] {
            ttservice::CItsmQueryDataReq request;
            request.dataType = ITradingDayBackend::DataKindTradeDates;
            request.marketParam = std::to_string(ttservice::EZR_MarketOverseas);
            request.platformParam = "WP";
            std::vector<boost::shared_ptr<ttservice::IData>> records;
            ExchangeList list;
            list.error = store->query(request, records);
            for (const auto& record : records) {
                if (auto exchange =
                        boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record)) {
                    list.names << XP::sToQs(exchange->exchangeName);
                }
            }
            return list;
        },
        [this, preferred](const ExchangeList& list) { showExchanges(list, preferred); });
}

void CRevisionHistoryDialog::showExchanges(const ExchangeList& list, const QString& preferred)
{
    if (!list.error.isSuccess()) {
        showFailure(list.error);
        return;
    }
    const QSignalBlocker blocker(exchangeCombo);
    exchangeCombo->addItems(list.names);
    exchangeCombo->setCurrentIndex(qMax(0, list.names.indexOf(preferred)));
    loadRevisions();
}

void CRevisionHistoryDialog::loadRevisions()
{
    const std::string exchangeName =
        exchangeCombo ? exchangeCombo->currentText().toStdString() : std::string();
    if (exchangeCombo && exchangeName.empty()) {
        return;
    }
    runOffGuiThread<RevisionList>(
        [store = store, marketType = marketType, platformParam = platformParam, exchangeName,
         load = ++latestRevisionLoad] {
            RevisionList list;
            list.load = load;
            list.error = store->revisions(marketType, platformParam, exchangeName, list.revisions);
            return list;
        },
        [this](const RevisionList& list) { showRevisions(list); });
}

void CRevisionHistoryDialog::showRevisions(const RevisionList& list)
{
    if (list.load != latestRevisionLoad) {
        return; // a list asked for before another exchange was chosen or a restore was done
    }
    if (!list.error.isSuccess()) {
        showFailure(list.error);
        return;
    }
    revisions = list.revisions;
    const QSignalBlocker blocker(revisionTable);
    revisionTable->clearContents();
    revisionTable->setRowCount(int(revisions.size()));
    int row = 0;
    for (auto revision = revisions.rbegin(); revision != revisions.rend(); ++revision, ++row) {
        revisionTable->setItem(row, 0, cell(QString::number(revision->id)));
        revisionTable->setItem(
            row, 1, cell(revision->savedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        revisionTable->setItem(row, 2, cell(XP::sToQs(revision->operatorName)));
        revisionTable->setItem(row, 3, cell(revision->operationText()));
        revisionTable->setItem(row, 4, cell(QString::number(revision->dayCount)));
    }
    revisionTable->clearSelection();
    if (!revisions.empty()) {
        revisionTable->selectRow(0);
    }
    loadDayChanges();
}

int CRevisionHistoryDialog::selectedRevision() const
{
    const QList<QTableWidgetItem*> selected = revisionTable->selectedItems();
    if (selected.isEmpty()) {
        return -1;
    }
    return int(revisions.size()) - 1 - selected.first()->row();
}

void CRevisionHistoryDialog::loadDayChanges()
{
    addedList->clear();
    removedList->clear();
    updateRestoreButton();
    const int index = selectedRevision();
    if (index < 0) {
        return;
    }
    const long long revisionId = revisions[index].id;
    const long long previousId = index > 0 ? revisions[index - 1].id : 0;
    runOffGuiThread<DayChanges>(
        [store = store, revisionId, previousId] {
            DayChanges changes;
            changes.revisionId = revisionId;
            CStoreRevision revision;
            TradeDateMap days;
            TradeDateMap previousDays;
            changes.error = store->revisionDays(revisionId, revision, days);
            if (changes.error.isSuccess() && previousId != 0) {
                changes.error = store->revisionDays(previousId, revision, previousDays);
            }
            changes.added = datesMissingFrom(days, previousDays);
            changes.removed = datesMissingFrom(previousDays, days);
            return changes;
        },
        [this](const DayChanges& changes) { showDayChanges(changes); });
}

void CRevisionHistoryDialog::showDayChanges(const DayChanges& changes)
{
    const int index = selectedRevision();
    if (index < 0 || revisions[index].id != changes.revisionId) {
        return; // the operator has moved on to another revision
    }
    if (!changes.error.isSuccess()) {
        showFailure(changes.error);
        return;
    }
    addedList->addItems(changes.added);
    removedList->addItems(changes.removed);
}

void CRevisionHistoryDialog::updateRestoreButton()
{
    restoreButton->setEnabled(!restoring && selectedRevision() >= 0);
}

void CRevisionHistoryDialog::restoreSelected()
{
    const int index = selectedRevision();
    if (index < 0) {
        return;
    }
    const CStoreRevision& revision = revisions[index];
    const QMessageBox::StandardButton answer = XP::CMessageBox::question(
        this, titleText,
        QStringLiteral("是否确认恢复修订 %1？当前的交易日将被替换为该修订的 %2 个交易日。")
            .arg(revision.id)
            .arg(revision.dayCount),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return;
    }
    const std::string operatorName = utils::CSingletonT<CUserManager>::instance()->userName();
    restoring = true;
    updateRestoreButton();
    runOffGuiThread<utils::TTError>(
        [store = store, revisionId = revision.id, operatorName] {
            CStoreRevision restored;
            return store->restoreRevision(revisionId, operatorName, restored);
        },
        [this](const utils::TTError& error) { showRestored(error); });
}

void CRevisionHistoryDialog::showRestored(const utils::TTError& error)
{
    restoring = false;
    updateRestoreButton();
    if (!error.isSuccess()) {
        showFailure(error);
        return;
    }
    loadRevisions();
}

void CRevisionHistoryDialog::showFailure(const utils::TTError& error)
{
    const QString text = XP::sToQs(error.errorMsg());
    XP::CMessageBox::warning(this, titleText, text.isEmpty() ? QStringLiteral("未知异常") : text);
}

} // namespace IMC
