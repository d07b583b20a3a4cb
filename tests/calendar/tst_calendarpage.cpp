#include "CCalendarUi.h"
#include "CTradeDateMaps.h"

#include "calendar/CCalenderCellWidget.h"
#include "calendar/CSystemTradingDayWidget.h"
#include "data/CTradeDateRecords.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CUserManager.h"
#include "upload/CSystemTradingDayUploadingDialog.h"
#include "utils/CSingletonT.h"
#include "widgets/CComboBox.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"

#include "CModalDriver.h"
#include "TestGuards.h"

#include <boost/pointer_cast.hpp>

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

using IMC::CItsmClientCenter;
using IMC::CMemoryTradingDayBackend;
using IMC::CUserManager;
using tds::CCalendarUi;
using tds::CTradeDateMaps;

namespace {

const std::string systemName = "主系统";

// The page as the host sees it, plus a look at where its month offsets stand.
class CPageUnderTest : public IMC::CSystemTradingDayWidget
{
public:
    using IMC::CSystemTradingDayWidget::CSystemTradingDayWidget;
    int shownYearOffset() const { return yearOffset; }
    int shownMonthOffset() const { return monthOffset; }
};

// The in-memory back end that can also answer a trade-date query with no records at all.
class CBackendUnderTest : public CMemoryTradingDayBackend
{
public:
    utils::TTError query(const ttservice::CItsmQueryDataReq& request,
                         std::vector<boost::shared_ptr<ttservice::IData>>& records) override
    {
        const utils::TTError error = CMemoryTradingDayBackend::query(request, records);
        if (answerNothing) {
            records.clear();
        }
        return error;
    }

    std::atomic<bool> answerNothing{false};
};

QStringList datesFrom(const QDate& first)
{
    QStringList dates;
    for (int i = 0; i < 42; ++i) {
        dates << first.addDays(i).toString(QStringLiteral("yyyy-MM-dd"));
    }
    return dates;
}

} // namespace

// Runs under a clock that starts at Wednesday 2026-08-12 10:00 (Shanghai).
class TestCalendarPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tds::failOnUnexpectedWarnings();
        QCOMPARE(QDate::currentDate(), QDate(2026, 8, 12));
    }

    void init()
    {
        center()->resetForTests();
        utils::CSingletonT<CUserManager>::instance()->resetForTests();
        backend = std::make_shared<CBackendUnderTest>();
        center()->registerSystem(systemName, backend);
        XP::CMessageBoxScript::reset();
        XP::CMessageBoxScript::enable(true);
    }

    void cleanup()
    {
        page.reset();
        QVERIFY(client()->waitUntilIdle(5000));
        XP::CMessageBoxScript::reset();
    }

    void queriesOnFirstActivationOnly()
    {
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-13", 3}}));
        makePage(0);
        QVERIFY(backend->receivedQueries().empty()); // nothing is asked before activation

        activate();
        answer();
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
        QCOMPARE(backend->receivedQueries().front().dataType, 12306);
        QCOMPARE(backend->receivedQueries().front().marketParam, std::string("0"));
        QCOMPARE(backend->receivedQueries().front().platformParam, std::string());
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 trade X day* night*"));

        page->onDeactive();
        page->onActive();
        answer();
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
    }

    void systemSwitchQueriesAnActivePageOnly()
    {
        auto other = std::make_shared<CMemoryTradingDayBackend>();
        other->setMarketDays(1, CTradeDateMaps::daysOf({{"2026-08-20", 1}}));
        center()->registerSystem("备系统", other);

        makePage(1);
        page->setSystem(QStringLiteral("备系统"));
        QVERIFY(other->receivedQueries().empty());

        activate();
        answer(center()->getClientByName("备系统"));
        QCOMPARE(other->receivedQueries().size(), std::size_t(1));
        QCOMPARE(seen("2026-08-20"), QStringLiteral("20 trade X day*"));

        page->setSystem(QString::fromStdString(systemName));
        answer();
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1));
        QCOMPARE(seen("2026-08-20"), QStringLiteral("20 +"));
    }

    void offersTheCommandsOfItsMarket_data()
    {
        QTest::addColumn<int>("market");
        QTest::addColumn<bool>("upload");
        QTest::addColumn<bool>("platform");
        QTest::newRow("domestic") << 0 << false << false;
        QTest::newRow("HK connect") << 1 << true << false;
        QTest::newRow("electronic") << 3 << false << true;
    }
    void offersTheCommandsOfItsMarket()
    {
        QFETCH(int, market);
        QFETCH(bool, upload);
        QFETCH(bool, platform);

        makePage(market);
        QCOMPARE(page->size(), QSize(1150, 800));
        QCOMPARE(CCalendarUi::dayTable(page.get())->size(), QSize(1130, 664));
        QCOMPARE(page->objectName(), QStringLiteral("system_trading_day"));
        for (const char* text :
             {"<<", "<", ">", ">>", "今天", "设置默认交易日", "月视图", "提交保存", "重新刷新"}) {
            QVERIFY2(CCalendarUi::button(page.get(), QString::fromUtf8(text))->isVisible(), text);
        }
        QCOMPARE(CCalendarUi::button(page.get(), QStringLiteral("上传设置交易日"))->isVisible(), upload);
        XP::CComboBox* combo = CCalendarUi::comboBox(page.get());
        QCOMPARE(combo != nullptr, platform);
        QCOMPARE(CCalendarUi::text(page.get(), QStringLiteral("市场类型")) != nullptr, platform);
        if (combo) {
            QCOMPARE(combo->count(), 2);
            QCOMPARE(combo->itemText(0), QStringLiteral("期货电子盘市场"));
            QCOMPARE(combo->itemText(1), QStringLiteral("利率电子盘市场"));
            QCOMPARE(combo->currentIndex(), 0);
        }
        QVERIFY(!CCalendarUi::button(page.get(), QStringLiteral("今天"))->isEnabled());
        QVERIFY(!CCalendarUi::button(page.get(), QStringLiteral("月视图"))->isEnabled());
        XP::CStandardSimpleTable* table = CCalendarUi::dayTable(page.get());
        QCOMPARE(table->columnHeader(0), QStringLiteral("星期天"));
        QCOMPARE(table->columnHeader(6), QStringLiteral("星期六"));
    }

    void withoutMaintenanceRightOnlyRefreshIsOffered()
    {
        utils::CSingletonT<CUserManager>::instance()->revokeRight(10615);
        makePage(0);
        QVERIFY(!CCalendarUi::button(page.get(), QStringLiteral("提交保存")));
        QVERIFY(!CCalendarUi::buttonById(page.get(), 8));
        QVERIFY(CCalendarUi::button(page.get(), QStringLiteral("重新刷新"))->isVisible());
    }

    void showsMonthsPositionByPosition_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QDate>("firstShown");

        QTest::newRow("August 2026 begins on Saturday") << ""
                                                        << "2026年8月" << QDate(2026, 7, 26);
        QTest::newRow("February 2026 begins on Sunday") << "< < < < < <"
                                                        << "2026年2月" << QDate(2026, 2, 1);
        QTest::newRow("March 2024 after a leap February") << "<< << < < < < <"
                                                          << "2024年3月" << QDate(2024, 2, 25);
        QTest::newRow("December 2026 shows January 2027") << "> > > >"
                                                          << "2026年12月" << QDate(2026, 11, 29);
        QTest::newRow("January 2027 shows December 2026") << "> > > > >"
                                                          << "2027年1月" << QDate(2026, 12, 27);
    }
    void showsMonthsPositionByPosition()
    {
        QFETCH(QString, steps);
        QFETCH(QString, label);
        QFETCH(QDate, firstShown);

        makePage(0);
        press(steps);
        QCOMPARE(CCalendarUi::monthLabel(page.get()), label);
        QCOMPARE(CCalendarUi::shownDates(page.get()), datesFrom(firstShown));
    }

    void navigatesByMonthsAndYears_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("yearOffset");
        QTest::addColumn<int>("monthOffset");
        QTest::addColumn<bool>("todayEnabled");

        QTest::newRow("one month back") << "<"
                                        << "2026年7月" << 0 << -1 << true;
        QTest::newRow("twelve months back") << "< < < < < < < < < < < <"
                                            << "2025年8月" << -1 << 0 << true;
        QTest::newRow("twelve months forward") << "> > > > > > > > > > > >"
                                               << "2027年8月" << 1 << 0 << true;
        QTest::newRow("January back to December") << "< < < < < < < <"
                                                  << "2025年12月" << 0 << -8 << true;
        QTest::newRow("December forward to January") << "> > > > >"
                                                     << "2027年1月" << 0 << 5 << true;
        QTest::newRow("year back and forward") << "<< >>"
                                               << "2026年8月" << 0 << 0 << false;
        QTest::newRow("years and months") << "<< << > >"
                                          << "2024年10月" << -2 << 2 << true;
        QTest::newRow("back to today") << "<< < < 今天"
                                       << "2026年8月" << 0 << 0 << false;
        QTest::newRow("month view does nothing") << "> 月视图"
                                                 << "2026年9月" << 0 << 1 << true;
    }
    void navigatesByMonthsAndYears()
    {
        QFETCH(QString, steps);
        QFETCH(QString, label);
        QFETCH(int, yearOffset);
        QFETCH(int, monthOffset);
        QFETCH(bool, todayEnabled);

        makePage(0);
        press(steps);
        QCOMPARE(CCalendarUi::monthLabel(page.get()), label);
        QCOMPARE(page->shownYearOffset(), yearOffset);
        QCOMPARE(page->shownMonthOffset(), monthOffset);
        QCOMPARE(CCalendarUi::button(page.get(), QStringLiteral("今天"))->isEnabled(), todayEnabled);
    }

    void todayIsEnabledAfterTheFirstStepAway()
    {
        makePage(0);
        XP::CSmallNormalButton* today = CCalendarUi::button(page.get(), QStringLiteral("今天"));
        for (int step = 1; step <= 12; ++step) {
            QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("<")));
            QVERIFY(today->isEnabled());
        }
        QVERIFY(CCalendarUi::click(today));
        QVERIFY(!today->isEnabled());
        QCOMPARE(CCalendarUi::monthLabel(page.get()), QStringLiteral("2026年8月"));
    }

    // The month-view command stays inert even when its event reaches the page.
    void monthViewEventChangesNothing()
    {
        makePage(0);
        XP::CSmallNormalButton monthView(7, false, 1, page.get());
        QVERIFY(monthView.deliverEvent(5, 7, 0, QString(), nullptr));
        QVERIFY(monthView.deliverEvent(5, 77, 0, QString(), nullptr));
        QVERIFY(monthView.deliverEvent(75, 14, 0, QString(), nullptr));
        QCOMPARE(CCalendarUi::monthLabel(page.get()), QStringLiteral("2026年8月"));
        answer();
        QVERIFY(backend->receivedQueries().empty());
    }

    void onlyDaysFromTodayOnAreEditable()
    {
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-07-31", 3},
                                                          {"2026-08-10", 3},
                                                          {"2026-08-12", 1},
                                                          {"2026-08-13", 2},
                                                          {"2026-09-01", 3}}));
        openPage(0);

        QCOMPARE(seen("2026-07-31"), QStringLiteral("31")); // previous month
        QCOMPARE(seen("2026-08-10"), QStringLiteral("10")); // past trading day
        QCOMPARE(seen("2026-08-11"), QStringLiteral("11"));
        QCOMPARE(seen("2026-08-12"), QStringLiteral("12 trade X day* night"));
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 trade X day night*"));
        QCOMPARE(seen("2026-08-14"), QStringLiteral("14 +"));
        QCOMPARE(seen("2026-09-01"), QStringLiteral("1")); // next month, though in the future

        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral(">")));
        QCOMPARE(seen("2026-09-01"), QStringLiteral("1 trade X day* night*"));
        QCOMPARE(seen("2026-08-31"), QStringLiteral("31"));
    }

    void defaultFillReplacesWeekdaysAndKeepsWeekends_data()
    {
        QTest::addColumn<int>("market");
        QTest::addColumn<int>("flags");
        QTest::newRow("domestic") << 0 << 3;
        QTest::newRow("HK connect") << 1 << 1;
        QTest::newRow("electronic") << 3 << 1;
    }
    void defaultFillReplacesWeekdaysAndKeepsWeekends()
    {
        QFETCH(int, market);
        QFETCH(int, flags);

        const TradeDateMap before =
            CTradeDateMaps::daysOf({{"2026-07-31", 2}, // Friday of July, shown but not filled
                                    {"2026-08-01", 2}, // Saturday
                                    {"2026-08-03", 0}, // past Monday without sessions
                                    {"2026-08-16", 1}, // Sunday
                                    {"2026-09-01", 2}});
        backend->setMarketDays(market, before, market == 3 ? "14" : "");
        openPage(market);

        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("设置默认交易日")));
        QCOMPARE(CCalendarUi::monthLabel(page.get()), QStringLiteral("2026年8月"));
        QVERIFY(CCalendarUi::describe(CCalendarUi::cell(page.get(), QStringLiteral("2026-08-17")))
                    .contains("trade"));
        QCOMPARE(seen("2026-08-15"), QStringLiteral("15 +"));
        submitAndWait();

        const TradeDateMap sent = sentDays();
        QCOMPARE(sent.size(), std::size_t(21 + 4));
        for (int day = 1; day <= 31; ++day) {
            const QDate date(2026, 8, day);
            const std::string key = date.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
            if (date.dayOfWeek() <= 5) {
                QVERIFY2(sent.count(key) && sent.at(key)->sessionFlags == flags, key.c_str());
                QCOMPARE(sent.at(key)->description, "交易日 " + key);
            }
        }
        QCOMPARE(sent.at("2026-07-31")->sessionFlags, 2);
        QCOMPARE(sent.at("2026-08-01")->sessionFlags, 2);
        QCOMPARE(sent.at("2026-08-16")->sessionFlags, 1);
        QCOMPARE(sent.at("2026-09-01")->sessionFlags, 2);
        QCOMPARE(sent.count("2026-08-02"), std::size_t(0));
    }

    void deletedDayIsNotSubmitted()
    {
        backend->setMarketDays(
            0, CTradeDateMaps::daysOf({{"2026-08-13", 3}, {"2026-08-14", 3}, {"2025-01-02", 1}}));
        openPage(0);

        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        QVERIFY(CCalendarUi::clickButton(cellOf("2026-08-13"), QStringLiteral("X")));
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 +"));
        submitAndWait();

        const TradeDateMap sent = sentDays();
        QCOMPARE(sent.size(), std::size_t(2));
        QCOMPARE(sent.count("2026-08-13"), std::size_t(0));
        QCOMPARE(sent.at("2026-08-14")->sessionFlags, 3);
        QCOMPARE(sent.at("2025-01-02")->sessionFlags, 1); // other months travel too
        QCOMPARE(backend->marketDays(0).size(), std::size_t(2));
        expectOutcome(0, true, QStringLiteral("操作成功"));
    }

    void dayWithoutSessionsIsSubmittedWithFlagsZero()
    {
        backend->setMarketDays(1, CTradeDateMaps::daysOf({{"2026-08-14", 1}}));
        openPage(1);

        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        QVERIFY(CCalendarUi::clickCheckBox(cellOf("2026-08-14"), QStringLiteral("日盘")));
        submitAndWait();

        const TradeDateMap sent = sentDays();
        QCOMPARE(sent.size(), std::size_t(1));
        QCOMPARE(sent.at("2026-08-14")->sessionFlags, 0);
        QCOMPARE(sent.at("2026-08-14")->tradeDate, std::string("2026-08-14"));
        QVERIFY(sent.at("2026-08-14")->valid);
    }

    void addedAndChangedDaysAreSubmitted()
    {
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-14", 3}}));
        openPage(0);

        QVERIFY(CCalendarUi::clickButton(cellOf("2026-08-20"), QStringLiteral("+")));
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        QVERIFY(CCalendarUi::clickCheckBox(cellOf("2026-08-14"), QStringLiteral("夜盘")));
        submitAndWait();

        const TradeDateMap sent = sentDays();
        QCOMPARE(sent.at("2026-08-20")->sessionFlags, 3);
        QCOMPARE(sent.at("2026-08-14")->sessionFlags, 1);
        const auto operation = backend->receivedOperations().back().request;
        QCOMPARE(operation->dataType, 12306);
        QCOMPARE(operation->operation, 1);
        QCOMPARE(operation->records.size(), std::size_t(1));
        QCOMPARE(operation->platformParam, std::string());
    }

    void answerWithoutRecordsClearsTheCalendar()
    {
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-13", 3}}));
        openPage(0);
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral(">")));

        backend->answerNothing = true;
        refreshAndWait();

        QCOMPARE(CCalendarUi::monthLabel(page.get()),
                 QStringLiteral("2026年8月")); // back at the current month
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 +"));
        submitAndWait();
        QVERIFY(sentDays().empty());
    }

    void failedQueryReappliesTheLastGoodAnswerSilently()
    {
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-13", 3}}));
        openPage(0);
        QVERIFY(CCalendarUi::clickButton(cellOf("2026-08-20"), QStringLiteral("+")));
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("<")));

        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-21", 3}}));
        backend->failNext("网络中断");
        refreshAndWait();

        QCOMPARE(CCalendarUi::monthLabel(page.get()), QStringLiteral("2026年8月"));
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 trade X day* night*"));
        QCOMPARE(seen("2026-08-20"), QStringLiteral("20 +")); // the local edit is gone
        QCOMPARE(seen("2026-08-21"), QStringLiteral("21 +"));
        QVERIFY(center()->serverMessages().isEmpty());
        QVERIFY(XP::CMessageBoxScript::calls().isEmpty());
    }

    void failedFirstQueryLeavesAnEmptyCalendar()
    {
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-13", 3}}));
        backend->failNext(std::string());
        openPage(0);
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 +"));
        QVERIFY(center()->serverMessages().isEmpty());
    }

    void failedSubmissionShowsTheErrorAndKeepsTheMap_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("shown");
        QTest::newRow("with a text") << "交易日保存失败"
                                     << "交易日保存失败";
        QTest::newRow("without a text") << ""
                                        << "未知异常";
    }
    void failedSubmissionShowsTheErrorAndKeepsTheMap()
    {
        QFETCH(QString, error);
        QFETCH(QString, shown);

        openPage(0);
        QVERIFY(CCalendarUi::clickButton(cellOf("2026-08-20"), QStringLiteral("+")));
        backend->failNext(error.toStdString());
        submitAndWait();

        expectOutcome(1, false, shown);
        QVERIFY(backend->marketDays(0).empty());
        QCOMPARE(seen("2026-08-20"), QStringLiteral("20 trade X day* night*"));

        center()->clearServerMessages();
        submitAndWait(); // the operator tries again with the same map
        expectOutcome(0, true, QStringLiteral("操作成功"));
        QCOMPARE(backend->marketDays(0).size(), std::size_t(1));
        QCOMPARE(backend->marketDays(0).at("2026-08-20")->sessionFlags, 3);
    }

    void uploadReplacesTheWholeMap()
    {
        backend->setMarketDays(1, CTradeDateMaps::daysOf({{"2026-08-13", 1}, {"2026-10-08", 1}}));
        openPage(1);
        QVERIFY(CCalendarUi::clickButton(cellOf("2026-08-20"), QStringLiteral("+")));
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral(">")));

        uploadFile("日期,是否交易日\n2026-09-01,1\n2026-09-02,0\n2026-08-14,1\n2025-12-31,1");

        QCOMPARE(CCalendarUi::monthLabel(page.get()), QStringLiteral("2026年9月")); // the shown month stays
        QCOMPARE(seen("2026-09-01"), QStringLiteral("1 trade X day*"));
        QCOMPARE(seen("2026-09-02"), QStringLiteral("2 +"));
        QVERIFY(backend->receivedOperations().empty()); // nothing is sent until the operator submits

        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("<")));
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 +"));
        QCOMPARE(seen("2026-08-14"), QStringLiteral("14 trade X day*"));
        QCOMPARE(seen("2026-08-20"), QStringLiteral("20 +"));

        submitAndWait();
        const TradeDateMap sent = sentDays();
        QCOMPARE(sent.size(), std::size_t(3));
        QCOMPARE(sent.count("2026-10-08"), std::size_t(0));
        QCOMPARE(sent.at("2025-12-31")->sessionFlags, 1);

        // The dialog is made once and shown again for the next upload.
        uploadFile("日期,是否交易日\n2026-08-21,1");
        QCOMPARE(seen("2026-08-14"), QStringLiteral("14 +"));
        QCOMPARE(seen("2026-08-21"), QStringLiteral("21 trade X day*"));
        QCOMPARE(page->findChildren<IMC::CSystemTradingDayUploadingDialog*>().size(), 1);
    }

    void maskCoversThePageWhileSubmitting()
    {
        openPage(0);
        XP::CLoadingMaskWidget* mask = page->findChild<XP::CLoadingMaskWidget*>();
        QVERIFY(mask && !mask->isVisible());

        client()->holdAnswers();
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("提交保存")));
        QVERIFY(mask->isVisible());
        QCOMPARE(mask->text(), QStringLiteral("正在提交数据"));
        QCOMPARE(mask->target(), static_cast<QWidget*>(page.get()));

        client()->releaseAnswers();
        answer();
        QVERIFY(!mask->isVisible());
        expectOutcome(0, true, QStringLiteral("操作成功"));
    }

    void platformChangeDiscardsEditsWhenItsAnswerArrives()
    {
        backend->setMarketDays(3, CTradeDateMaps::daysOf({{"2026-08-13", 1}}), "14");
        backend->setMarketDays(3, CTradeDateMaps::daysOf({{"2026-08-14", 1}}), "15");
        openPage(3);
        QCOMPARE(backend->receivedQueries().back().marketParam, std::string("3"));
        QCOMPARE(backend->receivedQueries().back().platformParam, std::string("14"));
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 trade X day*"));
        QVERIFY(CCalendarUi::clickButton(cellOf("2026-08-20"), QStringLiteral("+")));

        client()->holdAnswers();
        XP::CComboBox* combo = CCalendarUi::comboBox(page.get());
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(seen("2026-08-20"), QStringLiteral("20 trade X day*")); // kept until the answer arrives

        client()->releaseAnswers();
        answer();
        QCOMPARE(backend->receivedQueries().back().platformParam, std::string("15"));
        QCOMPARE(seen("2026-08-20"), QStringLiteral("20 +"));
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 +"));
        QCOMPARE(seen("2026-08-14"), QStringLiteral("14 trade X day*"));

        submitAndWait();
        QCOMPARE(backend->receivedOperations().back().request->platformParam, std::string("15"));
        QCOMPARE(backend->marketDays(3, "15").size(), std::size_t(1));
        QCOMPARE(backend->marketDays(3, "14").size(), std::size_t(1));
    }

    // The host answers on its worker thread; the page changes only when the GUI thread gets to it.
    void answersFromTheWorkerWaitForTheBusyGuiThread()
    {
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-13", 3}}));
        openPage(0);

        client()->holdAnswers();
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("重新刷新")));
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("重新刷新")));
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-14", 1}}));
        client()->releaseAnswers();

        // Busy: the GUI thread blocks until the worker has run both callbacks.
        QVERIFY(client()->waitUntilIdle(5000));
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 trade X day* night*"));
        QCOMPARE(seen("2026-08-14"), QStringLiteral("14 +"));

        QCoreApplication::sendPostedEvents();
        QCOMPARE(seen("2026-08-13"), QStringLiteral("13 +"));
        QCOMPARE(seen("2026-08-14"), QStringLiteral("14 trade X day* night"));
        QCOMPARE(backend->receivedQueries().size(), std::size_t(3));
    }

    void pageGoneBeforeTheAnswerIsLeftAlone()
    {
        backend->setMarketDays(0, CTradeDateMaps::daysOf({{"2026-08-13", 3}}));
        openPage(0);
        client()->holdAnswers();
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("重新刷新")));
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("提交保存")));
        page.reset();
        client()->releaseAnswers();
        QVERIFY(client()->waitUntilIdle(5000));
        QCoreApplication::sendPostedEvents();
        QVERIFY(center()->serverMessages().isEmpty());
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
    }

private:
    static CItsmClientCenter* center() { return utils::CSingletonT<CItsmClientCenter>::instance(); }
    static boost::shared_ptr<IMC::CItsmClient> client() { return center()->getClientByName(systemName); }

    void makePage(int market)
    {
        page = std::make_unique<CPageUnderTest>(static_cast<ttservice::EZRMarketType>(market));
        page->setSystem(QString::fromStdString(systemName));
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    void activate() { page->onActive(); }

    void openPage(int market)
    {
        makePage(market);
        activate();
        answer();
    }

    // Waits until the back end has answered everything sent so far and the page has taken the answers.
    void answer(const boost::shared_ptr<IMC::CItsmClient>& answering = client())
    {
        QVERIFY(answering->waitUntilIdle(5000));
        QCoreApplication::sendPostedEvents();
    }

    void press(const QString& steps)
    {
        for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            QVERIFY2(CCalendarUi::clickButton(page.get(), step), qPrintable(step));
        }
    }

    // The operator opens the upload dialog, names the file and uploads it. (Picking the file through the
    // file dialog is the upload dialog's own concern; here the path goes straight into its field.)
    void uploadFile(const QByteArray& content)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("交易日.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        tds::CModalDriver driver;
        bool dialogSeen = false;
        driver.arm([&](QWidget* dialog) {
            dialogSeen = qobject_cast<IMC::CSystemTradingDayUploadingDialog*>(dialog) != nullptr;
            IMC::CSafeLineEdit* pathEdit = dialog->findChild<IMC::CSafeLineEdit*>();
            if (pathEdit) {
                pathEdit->setText(path);
            }
            CCalendarUi::clickButton(dialog, QStringLiteral("上传文件"));
            if (dialog->isVisible()) { // the file was refused; leave the dialog so the test can report it
                CCalendarUi::clickButton(dialog, QStringLiteral("关闭"));
            }
        });
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("上传设置交易日")));
        QVERIFY(dialogSeen);
        QVERIFY(XP::CMessageBoxScript::calls().isEmpty());
    }

    void refreshAndWait()
    {
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("重新刷新")));
        answer();
    }

    void submitAndWait()
    {
        const int before = backend->receivedOperations().size();
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("提交保存")));
        answer();
        QCOMPARE(int(backend->receivedOperations().size()), before + 1);
    }

    TradeDateMap sentDays() const
    {
        const auto operations = backend->receivedOperations();
        if (operations.empty() || operations.back().request->records.size() != 1) {
            return TradeDateMap();
        }
        const auto typed = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(
            operations.back().request->records.front());
        return typed ? typed->tradeDates : TradeDateMap();
    }

    void expectOutcome(int type, bool success, const QString& text)
    {
        const QList<IMC::CServerMessage> messages = center()->serverMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().type, type);
        QCOMPARE(messages.first().success, success);
        QCOMPARE(messages.first().parent.data(), static_cast<QWidget*>(page.get()));
        QCOMPARE(messages.first().title, QStringLiteral("交易日设置"));
        QCOMPARE(messages.first().text, text);
    }

    QWidget* cellOf(const char* date) const { return CCalendarUi::cell(page.get(), QString::fromUtf8(date)); }

    QString seen(const char* date) const
    {
        IMC::CCalenderCellWidget* cell = CCalendarUi::cell(page.get(), QString::fromUtf8(date));
        return cell ? CCalendarUi::describe(cell) : QStringLiteral("not shown");
    }

    std::shared_ptr<CBackendUnderTest> backend;
    std::unique_ptr<CPageUnderTest> page;
};

QTEST_MAIN(TestCalendarPage)
#include "tst_calendarpage.moc"
