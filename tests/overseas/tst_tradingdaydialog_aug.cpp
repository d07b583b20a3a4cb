#include "../calendar/CCalendarUi.h"
#include "../calendar/CTradeDateMaps.h"

#include "calendar/CCalenderCellWidget.h"
#include "data/CTradeDateRecords.h"
#include "overseas/CTradingDayDialog.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CUserManager.h"
#include "utils/CSingletonT.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSmallNormalButton.h"

#include "CModalDriver.h"
#include "TestGuards.h"

#include <QtTest>

#include <boost/pointer_cast.hpp>

#include <memory>

using IMC::CItsmClientCenter;
using IMC::CMemoryTradingDayBackend;
using IMC::CTradingDayDialog;
using tds::CCalendarUi;
using tds::CTradeDateMaps;

namespace {

CItsmClientCenter* center()
{
    return utils::CSingletonT<CItsmClientCenter>::instance();
}

QStringList repeated(int times, const char* press)
{
    QStringList presses;
    for (int i = 0; i < times; ++i) {
        presses << QString::fromUtf8(press);
    }
    return presses;
}

} // namespace

// Runs under a clock that starts at Wednesday 2026-08-12 10:00 (Shanghai).
class TestTradingDayDialogAugust : public QObject
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
        utils::CSingletonT<IMC::CUserManager>::instance()->resetForTests();
        backend = std::make_shared<CMemoryTradingDayBackend>();
        center()->registerSystem("主系统", backend);
        XP::CMessageBoxScript::reset();
        XP::CMessageBoxScript::enable(true);
    }

    void cleanup()
    {
        dialog.reset();
        QVERIFY(center()->getClientByName({})->waitUntilIdle(5000));
        QCoreApplication::processEvents();
        XP::CMessageBoxScript::reset();
    }

    void opensOnTheCurrentMonth()
    {
        openDialog(CTradeDateMaps::daysOf({{"2026-08-20", 1}, {"2026-07-31", 1}}));
        QCOMPARE(CCalendarUi::monthLabel(dialog.get()), QStringLiteral("2026年8月"));
        QVERIFY(!today()->isEnabled());
        const QStringList dates = CCalendarUi::shownDates(dialog.get());
        QCOMPARE(dates.first(), QStringLiteral("2026-07-26"));
        QCOMPARE(dates.at(6), QStringLiteral("2026-08-01"));
        QCOMPARE(dates.last(), QStringLiteral("2026-09-05"));
        QCOMPARE(dialog->size(), QSize(1250, 850));
        // Days of the overseas market have a day session only; past and neighbouring days are not editable.
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(dialog.get(), "2026-08-20")),
                 QStringLiteral("20 trade X day*"));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(dialog.get(), "2026-08-13")),
                 QStringLiteral("13 +"));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(dialog.get(), "2026-08-11")), QStringLiteral("11"));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(dialog.get(), "2026-07-31")), QStringLiteral("31"));
        QVERIFY(!CCalendarUi::button(dialog.get(), QStringLiteral("月视图"))->isEnabled());
    }

    void navigatesByMonthAndYear_data()
    {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("todayEnabled");
        QTest::newRow("<") << QStringList{"<"} << "2026年7月" << true;
        QTest::newRow("< then 今天") << QStringList{"<", "今天"} << "2026年8月" << false;
        QTest::newRow(">") << QStringList{">"} << "2026年9月" << true;
        QTest::newRow("<<") << QStringList{"<<"} << "2025年8月" << true;
        QTest::newRow(">> then <<") << QStringList{">>", "<<"} << "2026年8月" << false;
        QTest::newRow("five > cross the year") << repeated(5, ">") << "2027年1月" << true;
        QTest::newRow("twelve > make a year") << repeated(12, ">") << "2027年8月" << true;
        QTest::newRow("eight < cross the year") << repeated(8, "<") << "2025年12月" << true;
        QTest::newRow("twelve < then >> come back") << (repeated(12, "<") << ">>") << "2026年8月" << false;
    }
    void navigatesByMonthAndYear()
    {
        QFETCH(QStringList, presses);
        QFETCH(QString, label);
        QFETCH(bool, todayEnabled);
        openDialog({});
        for (const QString& press : presses) {
            QVERIFY2(CCalendarUi::clickButton(dialog.get(), press), qPrintable(press));
        }
        QCOMPARE(CCalendarUi::monthLabel(dialog.get()), label);
        QCOMPARE(today()->isEnabled(), todayEnabled);
    }

    void defaultDaysFillTheShownMonthsWeekdays()
    {
        openDialog(CTradeDateMaps::daysOf(
            {{"2026-08-01", 1}, {"2026-08-03", 0}, {"2026-07-31", 0}, {"2026-09-01", 0}}));
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral("设置默认交易日")));
        QCOMPARE(CCalendarUi::monthLabel(dialog.get()), QStringLiteral("2026年8月"));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(dialog.get(), "2026-08-14")),
                 QStringLiteral("14 trade X day*"));
        const TradeDateMap sent = saveAndTakeSentDays();
        QStringList expected = {"2026-07-31=0", "2026-08-01=1"};
        for (int day = 3; day <= 31; ++day) {
            const QDate date(2026, 8, day);
            if (date.dayOfWeek() <= 5) {
                expected << date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("=1");
            }
        }
        expected << "2026-09-01=0";
        QCOMPARE(CTradeDateMaps::describe(sent), expected);
    }

    void cellEditsReachTheSavedMap()
    {
        openDialog(CTradeDateMaps::daysOf({{"2026-08-20", 1}, {"2026-08-21", 1}, {"2025-03-03", 1}}));
        // "+" on the 14th, "X" on the 20th, the only session off on the 21st.
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(dialog.get(), "2026-08-14"), QStringLiteral("+")));
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(dialog.get(), "2026-08-20"), QStringLiteral("X")));
        QVERIFY(CCalendarUi::clickCheckBox(CCalendarUi::cell(dialog.get(), "2026-08-21"),
                                           QStringLiteral("日盘")));
        // An edit in the next month as well.
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral(">")));
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(dialog.get(), "2026-09-07"), QStringLiteral("+")));
        QCOMPARE(CTradeDateMaps::describe(saveAndTakeSentDays()),
                 (QStringList{"2025-03-03=1", "2026-08-14=1", "2026-08-21=0", "2026-09-07=1"}));
    }

    void saveSendsTheExchangeAndClosesAccepted()
    {
        openDialog(CTradeDateMaps::daysOf({{"2026-08-20", 1}}), false);
        int result = -1;
        driver.arm([](QWidget* modal) { CCalendarUi::clickButton(modal, QStringLiteral("提交保存")); });
        result = dialog->exec();
        QCOMPARE(result, int(QDialog::Accepted));

        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        const auto request = backend->receivedOperations().front().request;
        QCOMPARE(request->dataType, 12306);
        QCOMPARE(request->operation, 1);
        QCOMPARE(request->platformParam, std::string("WP"));
        QCOMPARE(request->records.size(), std::size_t(1));
        const auto record =
            boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(request->records[0]);
        QVERIFY(record);
        QCOMPARE(record->marketType, 4);
        QCOMPARE(record->exchangeName, std::string("芝加哥商品交易所"));
        QCOMPARE(record->exchangeCode, std::string("CME"));
        QCOMPARE(record->trackId, 2);
        QCOMPARE(CTradeDateMaps::describe(record->tradeDates), QStringList{"2026-08-20=1"});

        const QList<IMC::CServerMessage> shown = center()->serverMessages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].type, 0);
        QVERIFY(shown[0].success);
        QCOMPARE(shown[0].title, QStringLiteral("交易日设置"));
        QCOMPARE(shown[0].text, QStringLiteral("操作成功"));
        QCOMPARE(shown[0].parent.data(), static_cast<QWidget*>(dialog.get()));
    }

    void failedSaveStillClosesAccepted_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("shown");
        QTest::newRow("with text") << "交易所不存在"
                                   << "交易所不存在";
        QTest::newRow("without text") << ""
                                      << "未知异常";
    }
    void failedSaveStillClosesAccepted()
    {
        QFETCH(QString, error);
        QFETCH(QString, shown);
        openDialog({}, false);
        backend->failNext(error.toStdString());
        driver.arm([](QWidget* modal) { CCalendarUi::clickButton(modal, QStringLiteral("提交保存")); });
        QCOMPARE(dialog->exec(), int(QDialog::Accepted));
        const QList<IMC::CServerMessage> messages = center()->serverMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].type, 1);
        QVERIFY(!messages[0].success);
        QCOMPARE(messages[0].title, QStringLiteral("交易日设置"));
        QCOMPARE(messages[0].text, shown);
    }

    void maskLiesOverTheDialogWhileSaving()
    {
        openDialog({});
        center()->getClientByName({})->holdAnswers();
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral("提交保存")));
        auto* mask = dialog->findChild<XP::CLoadingMaskWidget*>();
        QVERIFY(mask->isVisible());
        QCOMPARE(mask->text(), QStringLiteral("正在提交数据"));
        QSignalSpy finished(dialog.get(), &QDialog::finished);
        center()->getClientByName({})->releaseAnswers();
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toInt(), int(QDialog::Accepted));
        QVERIFY(!mask->isVisible());
    }

    void closingSendsNothing_data()
    {
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("关闭") << false;
        QTest::newRow("title bar close") << true;
    }
    void closingSendsNothing()
    {
        QFETCH(bool, byFrame);
        openDialog(CTradeDateMaps::daysOf({{"2026-08-20", 1}}), false);
        driver.arm([byFrame](QWidget* modal) {
            if (byFrame) {
                CCalendarUi::click(static_cast<XP::CCommonDialog*>(modal)->closeButton());
            } else {
                CCalendarUi::clickButton(modal, QStringLiteral("关闭"));
            }
        });
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
        QVERIFY(center()->getClientByName({})->waitUntilIdle(5000));
        QVERIFY(backend->receivedOperations().empty());
    }

    void withoutTheRightThereIsNoSave()
    {
        utils::CSingletonT<IMC::CUserManager>::instance()->revokeRight(10615);
        openDialog({});
        QVERIFY(!CCalendarUi::button(dialog.get(), QStringLiteral("提交保存")));
        QVERIFY(CCalendarUi::button(dialog.get(), QStringLiteral("关闭")));
    }

    void answerForADestroyedDialogIsDropped()
    {
        openDialog({});
        center()->getClientByName({})->holdAnswers();
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral("提交保存")));
        dialog.reset();
        center()->getClientByName({})->releaseAnswers();
        QVERIFY(center()->getClientByName({})->waitUntilIdle(5000));
        QCoreApplication::processEvents();
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        QVERIFY(center()->serverMessages().isEmpty());
    }

private:
    // Shown for clicks unless a test runs it with exec().
    void openDialog(const TradeDateMap& days, bool show = true)
    {
        dialog.reset(new CTradingDayDialog(nullptr));
        dialog->setExchangeInfo(days, QStringLiteral("芝加哥商品交易所"), QStringLiteral("CME"), 2);
        if (show) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        }
    }

    XP::CSmallNormalButton* today() const
    {
        return CCalendarUi::button(dialog.get(), QStringLiteral("今天"));
    }

    // Saves through "提交保存" and returns the days the back end received.
    TradeDateMap saveAndTakeSentDays()
    {
        QSignalSpy finished(dialog.get(), &QDialog::finished);
        if (!CCalendarUi::clickButton(dialog.get(), QStringLiteral("提交保存")) || !finished.wait(5000)) {
            return {};
        }
        const auto operations = backend->receivedOperations();
        if (operations.size() != 1) {
            return {};
        }
        const auto record = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(
            operations[0].request->records[0]);
        return record ? record->tradeDates : TradeDateMap();
    }

    std::shared_ptr<CMemoryTradingDayBackend> backend;
    std::unique_ptr<CTradingDayDialog> dialog;
    tds::CModalDriver driver;
};

QTEST_MAIN(TestTradingDayDialogAugust)
#include "tst_tradingdaydialog_aug.moc"
