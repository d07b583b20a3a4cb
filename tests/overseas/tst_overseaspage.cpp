#include "COverseasUi.h"

#include "../calendar/CCalendarUi.h"
#include "../calendar/CTradeDateMaps.h"

#include "data/CTradeDateRecords.h"
#include "overseas/CAddExchangDialog.h"
#include "overseas/COverSeaTradingDayWidget.h"
#include "overseas/CTradingDayDialog.h"
#include "records/CItsmInstrumentDetail.h"
#include "records/CItsmPlatformInfo.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CUserManager.h"
#include "utils/CSingletonT.h"
#include "widgets/CComboBox.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/hpf/CBaseTableColumnMultiButtonsDelegate.h"
#include "widgets/hpf/CStandardHpfTable.h"
#include "widgets/hpf/IBaseHpfTableModel.h"

#include "CModalDriver.h"
#include "TestGuards.h"

#include <QAbstractItemModelTester>
#include <QTableView>
#include <QtTest>

#include <boost/make_shared.hpp>
#include <boost/pointer_cast.hpp>

#include <atomic>
#include <memory>

using IMC::CAddExchangDialog;
using IMC::CItsmClientCenter;
using IMC::CMemoryTradingDayBackend;
using IMC::COverSeaTradingDayWidget;
using tds::CCalendarUi;
using tds::COverseasUi;
using tds::CTradeDateMaps;

namespace {

const std::string systemName = "主系统";

CItsmClientCenter* center()
{
    return utils::CSingletonT<CItsmClientCenter>::instance();
}

boost::shared_ptr<IMC::CItsmClient> client()
{
    return center()->getClientByName(systemName);
}

// The in-memory back end, with exchange-list answers that can be made to fail.
class CBackendUnderTest : public CMemoryTradingDayBackend
{
public:
    utils::TTError query(const ttservice::CItsmQueryDataReq& request,
                         std::vector<boost::shared_ptr<ttservice::IData>>& records) override
    {
        if (failingQueries > 0) {
            --failingQueries;
            CMemoryTradingDayBackend::query(request, records);
            records.clear();
            return utils::TTError(1, "服务繁忙");
        }
        return CMemoryTradingDayBackend::query(request, records);
    }

    std::atomic<int> failingQueries{0};
};

boost::shared_ptr<ttservice::CItsmPlatformInfo> track(int id, const std::string& name)
{
    auto info = boost::make_shared<ttservice::CItsmPlatformInfo>();
    info->platformId = id;
    info->platformName = name;
    return info;
}

boost::shared_ptr<ttservice::CItsmInstrumentDetail> instrument(const std::string& exchangeName,
                                                               const std::string& exchangeCode)
{
    auto detail = boost::make_shared<ttservice::CItsmInstrumentDetailInfo>();
    detail->instrumentCode = exchangeCode + "-1";
    detail->exchangeName = exchangeName;
    detail->exchangeCode = exchangeCode;
    auto record = boost::make_shared<ttservice::CItsmInstrumentDetail>();
    record->detail = detail;
    return record;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
exchange(const std::string& name, const std::string& code, int trackId, TradeDateMap days = {})
{
    auto record = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    record->marketType = 4;
    record->exchangeName = name;
    record->exchangeCode = code;
    record->trackId = trackId;
    record->tradeDates = std::move(days);
    return record;
}

QStringList keysOf(const TradeDateMap& days)
{
    QStringList keys;
    for (const auto& day : days) {
        keys << QString::fromStdString(day.first);
    }
    return keys;
}

} // namespace

// Runs under a clock that starts at Wednesday 2026-08-12 10:00 (Shanghai).
class TestOverseasPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        center()->resetForTests();
        utils::CSingletonT<IMC::CUserManager>::instance()->resetForTests();
        backend = std::make_shared<CBackendUnderTest>();
        backend->setTracks("14", {track(1, "A")});
        backend->setTracks("15", {track(2, "B")});
        backend->setInstruments({instrument("X", "C1"), instrument("Y", "C2"), instrument("Z", "C3")});
        backend->setTypedRecords(
            {exchange("X", "C1", 2, CTradeDateMaps::daysOf({{"2026-08-20", 1}})), exchange("Y", "C2", 7)});
        center()->registerSystem(systemName, backend);
        XP::CMessageBoxScript::reset();
        XP::CMessageBoxScript::enable(true);
        driver.reset(new tds::CModalDriver);
    }

    void cleanup()
    {
        page.reset();
        client()->releaseAnswers();
        QVERIFY(client()->waitUntilIdle(5000));
        QCoreApplication::processEvents();
        XP::CMessageBoxScript::reset();
    }

    void listsExchangesWithTheirTrackNames()
    {
        makePage();
        QVERIFY(settle());
        QVERIFY(backend->receivedQueries().empty()); // the exchange list waits for both track lists
        QCOMPARE(referenceQueries(), QStringList{"12482:"});

        page->onActive();
        QVERIFY(settle());
        QCOMPARE(referenceQueries(), (QStringList{"12482:", "12262:14", "12262:15"}));
        QCOMPARE(COverseasUi::shownRows(page.get()), (QStringList{"X|B", "Y|"}));
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
        const ttservice::CItsmQueryDataReq query = backend->receivedQueries().front();
        QCOMPARE(query.dataType, 12306);
        QCOMPARE(query.marketParam, std::string("4"));
        QCOMPARE(query.platformParam, std::string("WP"));
        QVERIFY(XP::CMessageBoxScript::calls().isEmpty());

        // Track 7 had no name: it is now known with an empty one, as the add dialog's track list shows.
        QStringList tracks;
        driver->arm([&](QWidget* modal) {
            tracks = COverseasUi::comboItems(COverseasUi::comboById(modal, CAddExchangDialog::TrackComboId));
            CCalendarUi::clickButton(modal, QStringLiteral("取消"));
        });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("新增")));
        QCOMPARE(tracks, (QStringList{"A=1", "B=2", "=7"}));
        QVERIFY(backend->receivedOperations().empty());
    }

    void rowsCarryTheirKeyAndButtons()
    {
        makeLoadedPage();
        XP::CStandardHpfTable* table = COverseasUi::table(page.get());
        QCOMPARE(table->dataModel()->getData(0)->rowKey(), std::string("C1B"));
        QCOMPARE(table->dataModel()->getData(1)->rowKey(), std::string("C2"));
        auto* delegate = qobject_cast<XP::CBaseTableColumnMultiButtonsDelegate*>(
            table->tableView()->itemDelegateForColumn(1));
        QVERIFY(delegate);
        QVERIFY(delegate->isItemVisible("C1B"));
        const QVector<XP::ButtonData> buttons = delegate->itemButtons("C1B");
        QCOMPARE(buttons.size(), 2);
        QCOMPARE(buttons[0].id, 3);
        QCOMPARE(buttons[0].text, QStringLiteral("跳转"));
        QCOMPARE(buttons[1].id, 4);
        QCOMPARE(buttons[1].text, QStringLiteral("删除"));
        QCOMPARE(table->tableView()->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("交易所中文名称"));
        QCOMPARE(table->tableView()->model()->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("所属赛道"));
    }

    void activationsBeforeTheTracksArriveAskAgain()
    {
        makePage();
        QVERIFY(settle());
        client()->holdAnswers();
        page->onActive();
        page->onActive();
        client()->releaseAnswers();
        QVERIFY(settle());
        QCOMPARE(referenceQueries(), (QStringList{"12482:", "12262:14", "12262:15", "12262:14", "12262:15"}));
        // Every track answer that finds both kinds loaded asks for the exchanges.
        QCOMPARE(backend->receivedQueries().size(), std::size_t(3));
        QCOMPARE(COverseasUi::shownRows(page.get()), (QStringList{"X|B", "Y|"}));

        page->onActive();
        QVERIFY(settle());
        QCOMPARE(referenceQueries().size(), 5);
        QCOMPARE(backend->receivedQueries().size(), std::size_t(3));
    }

    void failedTrackQueryIsRetriedOnTheNextActivation()
    {
        makePage();
        QVERIFY(settle());
        backend->failNext("平台服务不可用");
        page->onActive();
        QVERIFY(settle());
        QCOMPARE(messages(), QStringList{"warning|请求平台数据失败|平台服务不可用"});
        QCOMPARE(XP::CMessageBoxScript::calls().first().parent.data(), static_cast<QWidget*>(page.get()));
        QVERIFY(backend->receivedQueries().empty());

        page->onActive();
        QVERIFY(settle());
        QCOMPARE(referenceQueries(), (QStringList{"12482:", "12262:14", "12262:15", "12262:14", "12262:15"}));
        // Both answers of the second activation find both kinds loaded.
        QCOMPARE(backend->receivedQueries().size(), std::size_t(2));
        QCOMPARE(COverseasUi::shownRows(page.get()).size(), 2);
    }

    void failedInstrumentQueryLeavesNoExchangeCodes()
    {
        backend->failNext("");
        makeLoadedPage();
        QCOMPARE(messages(), QStringList{"warning|请求数据失败|"});
        QCOMPARE(COverseasUi::shownRows(page.get()), (QStringList{"X|B", "Y|"}));

        QStringList exchanges;
        driver->arm([&](QWidget* modal) {
            exchanges =
                COverseasUi::comboItems(COverseasUi::comboById(modal, CAddExchangDialog::ExchangeComboId));
            CCalendarUi::clickButton(modal, QStringLiteral("取消"));
        });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("新增")));
        QCOMPARE(exchanges, QStringList{"--请选择--=-1"});
    }

    void failedExchangeAnswerRedrawsTheLastList()
    {
        makePage();
        QVERIFY(settle());
        backend->failingQueries = 1;
        page->onActive();
        QVERIFY(settle());
        QCOMPARE(messages(), QStringList{"warning|请求数据失败|服务繁忙"});
        QVERIFY(COverseasUi::shownRows(page.get()).isEmpty());

        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("刷新")));
        QVERIFY(settle());
        QCOMPARE(COverseasUi::shownRows(page.get()), (QStringList{"X|B", "Y|"}));

        backend->setTypedRecords({exchange("Z", "C3", 1)});
        backend->failingQueries = 1;
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("刷新")));
        QVERIFY(settle());
        QCOMPARE(messages().last(), QStringLiteral("warning|请求数据失败|服务繁忙"));
        QCOMPARE(COverseasUi::shownRows(page.get()), (QStringList{"X|B", "Y|"}));
        QCOMPARE(backend->receivedQueries().size(), std::size_t(3));
    }

    void emptyFailureTextShowsUnknownError()
    {
        makeLoadedPage();
        backend->failNext("");
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("刷新")));
        QVERIFY(settle());
        QCOMPARE(messages(), QStringList{"warning|请求数据失败|未知异常"});
    }

    void searchFiltersByNameOnEnter()
    {
        backend->setTypedRecords({exchange("纽约商品交易所", "C1", 2), exchange("Y", "C2", 7),
                                  exchange("纽约证券交易所", "C4", 1)});
        makeLoadedPage();
        QAbstractItemModelTester tester(COverseasUi::table(page.get())->tableView()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        COverseasUi::search(page.get(), QStringLiteral("纽约"));
        QCOMPARE(COverseasUi::shownRows(page.get()), (QStringList{"纽约商品交易所|B", "纽约证券交易所|A"}));
        COverseasUi::search(page.get(), QStringLiteral("y"));
        QCOMPARE(COverseasUi::shownRows(page.get()), QStringList{"Y|"});

        // The filter stays across a refresh, and nothing is sent for a search.
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("刷新")));
        QVERIFY(settle());
        QCOMPARE(backend->receivedQueries().size(), std::size_t(2));
        QCOMPARE(COverseasUi::shownRows(page.get()), QStringList{"Y|"});

        COverseasUi::search(page.get(), QString());
        QCOMPARE(COverseasUi::shownRows(page.get()).size(), 3);
        QCOMPARE(backend->receivedQueries().size(), std::size_t(2));
    }

    void openingAnExchangeShowsItsDaysAndClosingSendsNothing()
    {
        makeLoadedPage();
        QString title;
        QString month;
        QString dayCell;
        driver->arm([&](QWidget* modal) {
            title = static_cast<XP::CCommonDialog*>(modal)->title();
            month = CCalendarUi::monthLabel(modal);
            dayCell = CCalendarUi::describe(CCalendarUi::cell(modal, QStringLiteral("2026-08-20")));
            CCalendarUi::clickButton(modal, QStringLiteral("关闭"));
        });
        QVERIFY(COverseasUi::clickRowButton(page.get(), 0, QStringLiteral("跳转")));
        QCOMPARE(driver->handledCount(), 1);
        QCOMPARE(title, QStringLiteral("X交易日设置"));
        QCOMPARE(month, QStringLiteral("2026年8月"));
        QVERIFY2(dayCell.contains(QStringLiteral("trade")), qPrintable(dayCell));
        QVERIFY(settle());
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
        QVERIFY(backend->receivedOperations().empty());
        QVERIFY(page->findChildren<IMC::CTradingDayDialog*>().isEmpty()); // gone once closed
    }

    void savedExchangeIsReadAgain()
    {
        backend->setInstruments({instrument("X", "B2"), instrument("X", "A1"), instrument("Y", "C2")});
        makeLoadedPage();
        driver->arm([&](QWidget* modal) { CCalendarUi::clickButton(modal, QStringLiteral("提交保存")); });
        QVERIFY(COverseasUi::clickRowButton(page.get(), 0, QStringLiteral("跳转")));
        QVERIFY(settle());
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        const auto sent = sentRecord(0);
        QCOMPARE(sent->exchangeName, std::string("X"));
        QCOMPARE(sent->exchangeCode, std::string("A1")); // the smaller of the codes named X
        QCOMPARE(sent->trackId, 2);
        QCOMPARE(keysOf(sent->tradeDates), QStringList{"2026-08-20"});
        QCOMPARE(backend->receivedQueries().size(), std::size_t(2));
    }

    void sameNameTwiceOpensTheLaterRecordsDays()
    {
        backend->setTypedRecords({exchange("X", "C1", 2, CTradeDateMaps::daysOf({{"2026-08-20", 1}})),
                                  exchange("X", "C9", 1, CTradeDateMaps::daysOf({{"2026-08-21", 1}}))});
        makeLoadedPage();
        QCOMPARE(COverseasUi::shownRows(page.get()), (QStringList{"X|B", "X|A"}));
        driver->arm([&](QWidget* modal) { CCalendarUi::clickButton(modal, QStringLiteral("提交保存")); });
        QVERIFY(COverseasUi::clickRowButton(page.get(), 0, QStringLiteral("跳转")));
        QVERIFY(settle());
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        QCOMPARE(keysOf(sentRecord(0)->tradeDates), QStringList{"2026-08-21"});
        QCOMPARE(sentRecord(0)->trackId, 2);
    }

    void addingSendsTheChosenExchangeAndTrack()
    {
        makeLoadedPage();
        client()->holdAnswers();
        driver->arm([&](QWidget* modal) { choose(modal, QStringLiteral("Z"), QStringLiteral("A")); });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("新增")));
        QCOMPARE(driver->handledCount(), 1);
        auto* mask = page->findChild<XP::CLoadingMaskWidget*>();
        QVERIFY(mask->isVisible());
        QCOMPARE(mask->text(), QStringLiteral("正在提交数据"));
        client()->releaseAnswers();
        QVERIFY(settle());
        QVERIFY(!mask->isVisible());

        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        const auto request = backend->receivedOperations().front().request;
        QCOMPARE(request->dataType, 12306);
        QCOMPARE(request->operation, 1);
        QCOMPARE(request->platformParam, std::string("WP"));
        QCOMPARE(request->records.size(), std::size_t(1));
        const auto sent = sentRecord(0);
        QCOMPARE(sent->marketType, 4);
        QCOMPARE(sent->exchangeName, std::string("Z"));
        QCOMPARE(sent->exchangeCode, std::string("C3"));
        QCOMPARE(sent->trackId, 1);
        QVERIFY(sent->tradeDates.empty());
        // Success: exactly one more exchange query, no message.
        QCOMPARE(backend->receivedQueries().size(), std::size_t(2));
        QVERIFY(XP::CMessageBoxScript::calls().isEmpty());
        QCOMPARE(COverseasUi::shownRows(page.get()), (QStringList{"X|B", "Y|", "Z|A"}));
    }

    void addingANameTwoCodesShareSendsTheLargerCode()
    {
        backend->setInstruments({instrument("X", "B2"), instrument("X", "A1"), instrument("Y", "C2")});
        backend->setTypedRecords({exchange("Y", "C2", 1)});
        makeLoadedPage();
        QStringList exchanges;
        driver->arm([&](QWidget* modal) {
            exchanges =
                COverseasUi::comboItems(COverseasUi::comboById(modal, CAddExchangDialog::ExchangeComboId));
            choose(modal, QStringLiteral("X"), QStringLiteral("B"));
        });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("新增")));
        QVERIFY(settle());
        QCOMPARE(exchanges, (QStringList{"--请选择--=-1", "X=A1", "X=B2", "Y=C2"}));
        QCOMPARE(sentRecord(0)->exchangeCode, std::string("B2"));
        QCOMPARE(sentRecord(0)->trackId, 2);
    }

    void addingWithNoTracksSendsTrackZero()
    {
        backend->setTracks("14", {});
        backend->setTracks("15", {});
        // A row's track id joins the known tracks; the id -1 is never offered.
        backend->setTypedRecords({exchange("Y", "C2", -1)});
        makeLoadedPage();
        QStringList tracks;
        driver->arm([&](QWidget* modal) {
            tracks = COverseasUi::comboItems(COverseasUi::comboById(modal, CAddExchangDialog::TrackComboId));
            choose(modal, QStringLiteral("Z"), QString());
        });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("新增")));
        QVERIFY(settle());
        QVERIFY(tracks.isEmpty());
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        QCOMPARE(sentRecord(0)->trackId, 0);
    }

    void addingAShownNameIsRefused()
    {
        makeLoadedPage();
        // Under another track too, and also while the search hides the row.
        COverseasUi::search(page.get(), QStringLiteral("Y"));
        driver->arm([&](QWidget* modal) { choose(modal, QStringLiteral("X"), QStringLiteral("A")); });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("新增")));
        QVERIFY(settle());
        QCOMPARE(messages(), QStringList{"warning|提示|交易所名称已存在！"});
        QCOMPARE(XP::CMessageBoxScript::calls().first().parent.data(), static_cast<QWidget*>(page.get()));
        QVERIFY(backend->receivedOperations().empty());
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
    }

    void saveWithoutAChosenExchangeKeepsTheDialogOpen()
    {
        makeLoadedPage();
        bool stillOpen = false;
        driver->arm([&](QWidget* modal) {
            CCalendarUi::clickButton(modal, QStringLiteral("保存"));
            stillOpen = modal->isVisible();
            CCalendarUi::clickButton(modal, QStringLiteral("取消"));
        });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("新增")));
        QVERIFY(stillOpen);
        QCOMPARE(messages(), QStringList{"information|提示|请选择交易所"});
        QVERIFY(settle());
        QVERIFY(backend->receivedOperations().empty());
    }

    void failedAddShowsTheErrorAndReadsNothing()
    {
        makeLoadedPage();
        backend->failNext("名称冲突");
        driver->arm([&](QWidget* modal) { choose(modal, QStringLiteral("Z"), QStringLiteral("B")); });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("新增")));
        QVERIFY(settle());
        QCOMPARE(messages(), QStringList{"warning|请求失败|名称冲突"});
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
        QVERIFY(!page->findChild<XP::CLoadingMaskWidget*>()->isVisible());
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("trackId");
        QTest::newRow("No sends nothing") << 0 << int(QMessageBox::No) << QString() << QString() << 0;
        QTest::newRow("Ok deletes X") << 0 << int(QMessageBox::Ok) << "X"
                                      << "C1" << 2;
        // Y's track has no name: the lowest id known with an empty name, the one its own row added.
        QTest::newRow("Ok deletes Y") << 1 << int(QMessageBox::Ok) << "Y"
                                      << "C2" << 7;
    }
    void deleteAsksFirst()
    {
        QFETCH(int, row);
        QFETCH(int, answer);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(int, trackId);
        makeLoadedPage();
        XP::CMessageBoxScript::pushAnswer(QMessageBox::StandardButton(answer));
        QVERIFY(COverseasUi::clickRowButton(page.get(), row, QStringLiteral("删除")));
        QVERIFY(settle());
        const QList<XP::CMessageBoxCall> calls = XP::CMessageBoxScript::calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].kind, QStringLiteral("warning"));
        QCOMPARE(calls[0].title, QStringLiteral("警告"));
        QCOMPARE(calls[0].text, QStringLiteral("是否确认删除该条数据？"));
        QCOMPARE(calls[0].buttons, QMessageBox::Ok | QMessageBox::No);
        QVERIFY(!calls[0].parent);
        if (name.isEmpty()) {
            QVERIFY(backend->receivedOperations().empty());
            QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
            return;
        }
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        QCOMPARE(backend->receivedOperations().front().request->operation, 3);
        QCOMPARE(QString::fromStdString(sentRecord(0)->exchangeName), name);
        QCOMPARE(QString::fromStdString(sentRecord(0)->exchangeCode), code);
        QCOMPARE(sentRecord(0)->trackId, trackId);
        QCOMPARE(backend->receivedQueries().size(), std::size_t(2));
        QCOMPARE(COverseasUi::shownRows(page.get()).size(), 1);
    }

    void failedDeleteShowsTheErrorOnce()
    {
        makeLoadedPage();
        backend->failNext("");
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        QVERIFY(COverseasUi::clickRowButton(page.get(), 0, QStringLiteral("删除")));
        QVERIFY(settle());
        QCOMPARE(messages(),
                 (QStringList{"warning|警告|是否确认删除该条数据？", "warning|请求失败|未知异常"}));
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
        QCOMPARE(COverseasUi::shownRows(page.get()).size(), 2);
    }

    void answersForADestroyedPageAreDropped()
    {
        makeLoadedPage();
        client()->holdAnswers();
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("刷新")));
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        QVERIFY(COverseasUi::clickRowButton(page.get(), 0, QStringLiteral("删除")));
        page.reset();
        // A page whose reference queries are still on their way goes as well.
        page.reset(new COverSeaTradingDayWidget);
        page->onActive();
        page.reset();
        client()->releaseAnswers();
        QVERIFY(settle());
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        QCOMPARE(backend->receivedQueries().size(), std::size_t(2));
        QCOMPARE(messages(), QStringList{"warning|警告|是否确认删除该条数据？"});
    }

private:
    void makePage()
    {
        page.reset(new COverSeaTradingDayWidget);
        page->resize(900, 600);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    void makeLoadedPage()
    {
        makePage();
        page->onActive();
        QVERIFY(settle());
        QVERIFY(!COverseasUi::shownRows(page.get()).isEmpty());
    }

    // Lets every outstanding request be answered and every answer reach the page, including the requests
    // the answers send in turn.
    bool settle()
    {
        for (int round = 0; round < 5; ++round) {
            if (!client()->waitUntilIdle(5000)) {
                return false;
            }
            QCoreApplication::processEvents();
        }
        return true;
    }

    QStringList referenceQueries() const
    {
        QStringList queries;
        for (const IMC::CReceivedReferenceQuery& query : backend->receivedReferenceQueries()) {
            queries
                << QStringLiteral("%1:%2").arg(query.dataKind).arg(QString::fromStdString(query.queryParam));
        }
        return queries;
    }

    static QStringList messages()
    {
        QStringList shown;
        for (const XP::CMessageBoxCall& call : XP::CMessageBoxScript::calls()) {
            shown << call.kind + QLatin1Char('|') + call.title + QLatin1Char('|') + call.text;
        }
        return shown;
    }

    boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> sentRecord(std::size_t operation) const
    {
        const auto operations = backend->receivedOperations();
        if (operation >= operations.size() || operations[operation].request->records.empty()) {
            return boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
        }
        return boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(
            operations[operation].request->records.front());
    }

    // Picks an exchange and a track in the add dialog, as shown, and presses "保存".
    static void choose(QWidget* dialog, const QString& exchangeName, const QString& trackName)
    {
        XP::CComboBox* exchanges = COverseasUi::comboById(dialog, CAddExchangDialog::ExchangeComboId);
        XP::CComboBox* tracks = COverseasUi::comboById(dialog, CAddExchangDialog::TrackComboId);
        exchanges->setCurrentIndex(exchanges->findText(exchangeName));
        if (!trackName.isEmpty()) {
            tracks->setCurrentIndex(tracks->findText(trackName));
        }
        CCalendarUi::clickButton(dialog, QStringLiteral("保存"));
    }

    std::shared_ptr<CBackendUnderTest> backend;
    std::unique_ptr<COverSeaTradingDayWidget> page;
    std::unique_ptr<tds::CModalDriver> driver;
};

QTEST_MAIN(TestOverseasPage)
#include "tst_overseaspage.moc"
