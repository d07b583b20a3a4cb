#include "CCalendarUi.h"
#include "CHostFixture.h"
#include "CModalDriver.h"
#include "CTradeDateMaps.h"
#include "TestGuards.h"

#include "calendar/CCalenderCellWidget.h"
#include "calendar/CSystemTradingDayWidget.h"
#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CUserManager.h"
#include "widgets/CComboBox.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using tds::CCalendarUi;
using tds::CHostFixture;
using tds::CTradeDateMaps;

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
        backend = std::make_shared<IMC::CMemoryTradingDayBackend>();
        CHostFixture::start(backend);
    }

    void cleanup()
    {
        page.reset();
        QVERIFY(CHostFixture::finish());
    }

    void offersTheCommandsOfItsMarket_data()
    {
        QTest::addColumn<int>("market");
        QTest::addColumn<bool>("maintenanceRight");
        QTest::addColumn<QString>("commands"); // "-" marks a disabled one
        const QString all = "<< < > >> 今天- 上传设置交易日 设置默认交易日 月视图- 提交保存 重新刷新";
        QTest::newRow("domestic") << 0 << true << QString(all).remove(" 上传设置交易日");
        QTest::newRow("HK connect") << 1 << true << all;
        QTest::newRow("market type 2") << 2 << true << all;
        QTest::newRow("electronic") << 3 << true << QString(all).remove(" 上传设置交易日");
        QTest::newRow("without right 10615") << 1 << false << QString(all).remove(" 提交保存");
    }
    void offersTheCommandsOfItsMarket()
    {
        QFETCH(int, market);
        QFETCH(bool, maintenanceRight);
        QFETCH(QString, commands);
        if (!maintenanceRight) {
            CHostFixture::user()->revokeRight(10615);
        }
        makePage(market);
        QStringList offered;
        for (const QString& text : QStringList{"<<", "<", ">", ">>", "今天", "上传设置交易日",
                                               "设置默认交易日", "月视图", "提交保存", "重新刷新"}) {
            XP::CSmallNormalButton* button = CCalendarUi::button(page.get(), text);
            if (button && button->isVisible()) {
                offered << text + (button->isEnabled() ? "" : "-");
            }
        }
        QCOMPARE(offered.join(' '), commands);
        QCOMPARE(page->findChild<XP::CComboBox*>() != nullptr, market == 3);
    }

    void navigatesMonthByMonthAndYearByYear_data()
    {
        QTest::addColumn<QString>("steps"); // "<*3" presses "<" three times
        QTest::addColumn<bool>("todayEnabled");
        QTest::addColumn<QString>("shown"); // label, first and last date of the table
        QTest::newRow("base month begins on Saturday") << "" << false << "2026年8月 2026-07-26 2026-09-05";
        QTest::newRow("February 2026 begins on Sunday") << "<*6" << true << "2026年2月 2026-02-01 2026-03-14";
        QTest::newRow("after a leap February") << "<<*2 <*5" << true << "2024年3月 2024-02-25 2024-04-06";
        QTest::newRow("December shows next January") << ">*4" << true << "2026年12月 2026-11-29 2027-01-09";
        QTest::newRow("forward into January") << ">*5" << true << "2027年1月 2026-12-27 2027-02-06";
        QTest::newRow("back into December") << "<*8" << true << "2025年12月 2025-11-30 2026-01-10";
        QTest::newRow("twelve months back") << "<*12" << true << "2025年8月 2025-07-27 2025-09-06";
        QTest::newRow("February 2000 in a leap century")
            << "<<*26 <*6" << true << "2000年2月 2000-01-30 2000-03-11";
        QTest::newRow("February 2100 in a common century")
            << ">>*74 <*6" << true << "2100年2月 2100-01-31 2100-03-13";
        QTest::newRow("thirty months forward") << ">*30" << true << "2029年2月 2029-01-28 2029-03-10";
        QTest::newRow("back to today") << "<< <*2 今天" << false << "2026年8月 2026-07-26 2026-09-05";
    }
    void navigatesMonthByMonthAndYearByYear()
    {
        QFETCH(QString, steps);
        QFETCH(bool, todayEnabled);
        QFETCH(QString, shown);
        makePage(0);
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            for (int i = qMax(1, step.section('*', 1).toInt()); i > 0; --i) {
                QVERIFY2(CCalendarUi::clickButton(page.get(), step.section('*', 0, 0)), qPrintable(step));
            }
        }
        const QStringList dates = CCalendarUi::shownDates(page.get());
        QCOMPARE(QStringList({CCalendarUi::monthLabel(page.get()), dates.first(), dates.last()}).join(' '),
                 shown);
        QCOMPARE(CCalendarUi::button(page.get(), "今天")->isEnabled(), todayEnabled);
    }

    void showsDaysFromTodayOnAsEditableAndTodayMarked()
    {
        backend->setMarketDays(
            0, CTradeDateMaps::parse("2026-07-31=3 2026-08-10=3 2026-08-12=1 2026-08-13=2 2026-09-01=3"));
        openPage(0);
        QStringList seen;
        for (const char* date : {"2026-07-31", "2026-08-10", "2026-08-11", "2026-08-12", "2026-08-13",
                                 "2026-08-14", "2026-09-01"}) {
            seen << CCalendarUi::describe(CCalendarUi::cell(page.get(), date));
        }
        QCOMPARE(seen.join(';'),
                 QStringLiteral("31;10;11;12 trade X day* night;13 trade X day night*;14 +;1"));
        IMC::CCalenderCellWidget* today = CCalendarUi::cell(page.get(), "2026-08-12");
        QCOMPARE(CCalendarUi::text(today, "12")->colorKey() + ' ' +
                     CCalendarUi::text(today, "交易日")->colorKey() + ' ' +
                     CCalendarUi::text(CCalendarUi::cell(page.get(), "2026-08-11"), "11")->colorKey(),
                 QStringLiteral("clr_global_warn clr_global_warn clr_lineedit_empty_hint"));
        QVERIFY(CCalendarUi::clickButton(page.get(), ">"));
        QCOMPARE(tradeDays(), QStringLiteral("2026-09-01"));
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
        // A Friday of July shown in the table, a Saturday, a Sunday and a day of September stay; a past
        // Monday without sessions gets the default sessions like every other weekday of August.
        QStringList expected = {"2026-07-31=2", "2026-08-01=2", "2026-08-16=1", "2026-09-01=2"};
        backend->setMarketDays(market, CTradeDateMaps::parse(expected.join(' ') + " 2026-08-03=0"),
                               platformOf(market));
        openPage(market);

        QVERIFY(CCalendarUi::clickButton(page.get(), "设置默认交易日"));
        QVERIFY(tradeDays().startsWith("2026-08-12 2026-08-13 2026-08-14 2026-08-16 2026-08-17 2026-08-18"));
        submit();
        for (QDate day(2026, 8, 1); day.month() == 8; day = day.addDays(1)) {
            if (day.dayOfWeek() <= 5) {
                expected << day.toString("yyyy-MM-dd=") + QString::number(flags);
            }
        }
        expected.sort();
        QCOMPARE(CTradeDateMaps::describe(backend->marketDays(market, platformOf(market))), expected);
    }

    void operatorsEditsAreShownAndSaved_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("market");
        // "date:control[:answer] => days saved | the date's cell afterwards | question asked"
        QTest::addColumn<QString>("edit");
        QTest::newRow("X confirmed") << "2025-01-02=1 2026-08-13=3 2026-08-14=3" << 0
                                     << "2026-08-13:X:ok => 2025-01-02=1 2026-08-14=3 | 13 + | 确认删除?";
        QTest::newRow("X cancelled") << "2026-08-13=1" << 1
                                     << "2026-08-13:X:cancel => 2026-08-13=1 | 13 trade X day* | 确认删除?";
        QTest::newRow("+, domestic") << "" << 0 << "2026-08-20:+ => 2026-08-20=3 | 20 trade X day* night* |";
        QTest::newRow("+, HK connect") << "" << 1 << "2026-08-20:+ => 2026-08-20=1 | 20 trade X day* |";
        QTest::newRow("+, electronic") << "" << 3 << "2026-08-20:+ => 2026-08-20=1 | 20 trade X day* |";
        QTest::newRow("night off")
            << "2026-08-14=3" << 0
            << "2026-08-14:夜盘:ok => 2026-08-14=1 | 14 trade X day* night | 确认取消夜盘?";
        QTest::newRow("day off cancelled")
            << "2026-08-14=3" << 0
            << "2026-08-14:日盘:cancel => 2026-08-14=3 | 14 trade X day* night* | 确认取消日盘?";
        QTest::newRow("last session off keeps the day")
            << "2026-08-14=1" << 1 << "2026-08-14:日盘:ok => 2026-08-14=0 | 14 trade X day | 确认取消日盘?";
        QTest::newRow("night on") << "2026-08-14=1" << 0
                                  << "2026-08-14:夜盘 => 2026-08-14=3 | 14 trade X day* night* |";
    }
    void operatorsEditsAreShownAndSaved()
    {
        QFETCH(QString, stored);
        QFETCH(int, market);
        QFETCH(QString, edit);
        backend->setMarketDays(market, CTradeDateMaps::parse(stored), platformOf(market));
        openPage(market);
        const QStringList action = edit.section(" => ", 0, 0).split(':');
        const QStringList expected = edit.section(" => ", 1).split('|');
        if (action.size() > 2) {
            XP::CMessageBoxScript::pushAnswer(action.at(2) == "ok" ? QMessageBox::Ok : QMessageBox::Cancel);
        }
        QWidget* cell = CCalendarUi::cell(page.get(), action.at(0));
        QVERIFY(CCalendarUi::clickButton(cell, action.at(1)) ||
                CCalendarUi::clickCheckBox(cell, action.at(1)));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(page.get(), action.at(0))),
                 expected.at(1).trimmed());
        const QString asked = expected.at(2).trimmed(); // every question ends in a blank
        QCOMPARE(CHostFixture::boxes().join(';'),
                 asked.isEmpty() ? asked : "question|操作提示|" + asked + " ");
        QVERIFY(CHostFixture::boxes().isEmpty() || XP::CMessageBoxScript::calls().first().parent == cell);

        submit();
        QCOMPARE(CTradeDateMaps::describe(backend->marketDays(market, platformOf(market))).join(' '),
                 expected.at(0).trimmed());
        QCOMPARE(outcomes(), QStringList{saved});
        QCOMPARE(backend->receivedQueries().size(), std::size_t(1)); // saving reads nothing back
    }

    void answerReplacesLocalEditsAndShowsTheCurrentMonth_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("shown");
        QTest::newRow("new days") << "new" << QString("2026-08-21");
        QTest::newRow("failure: the last good answer again") << "failed" << QString("2026-08-13");
    }
    void answerReplacesLocalEditsAndShowsTheCurrentMonth()
    {
        QFETCH(QString, kind);
        QFETCH(QString, shown);
        backend->setMarketDays(0, CTradeDateMaps::parse("2026-08-13=3"));
        openPage(0);
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page.get(), "2026-08-20"), "+"));
        QVERIFY(CCalendarUi::clickButton(page.get(), ">"));

        backend->setMarketDays(0, CTradeDateMaps::parse("2026-08-21=3"));
        if (kind == "failed") {
            backend->failNext("网络中断");
        }
        QVERIFY(CCalendarUi::clickButton(page.get(), "重新刷新"));
        answer();
        QCOMPARE(CCalendarUi::monthLabel(page.get()), QStringLiteral("2026年8月"));
        QVERIFY(!CCalendarUi::button(page.get(), "今天")->isEnabled());
        QCOMPARE(tradeDays(), shown);
        QCOMPARE(outcomes() + CHostFixture::boxes(), QStringList());
    }

    void failedSaveIsReportedAndCanBeRepeated_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("shown");
        QTest::newRow("with a text") << "交易日保存失败" << QString("交易日保存失败");
        QTest::newRow("without a text") << "" << QString("未知异常");
    }
    void failedSaveIsReportedAndCanBeRepeated()
    {
        QFETCH(QString, error);
        QFETCH(QString, shown);
        openPage(0);
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page.get(), "2026-08-20"), "+"));
        backend->failNext(error.toStdString());
        // The mask covers the page until the result has reached the GUI thread.
        auto* mask = page->findChild<XP::CLoadingMaskWidget*>();
        CHostFixture::client()->holdAnswers();
        QVERIFY(!mask->isVisible() && CCalendarUi::clickButton(page.get(), "提交保存"));
        QCOMPARE(mask->isVisible() ? mask->text() : "hidden", QStringLiteral("正在提交数据"));
        CHostFixture::client()->releaseAnswers();
        QVERIFY(CHostFixture::waitForAnswers());
        QVERIFY(mask->isVisible() && outcomes().isEmpty());
        QCoreApplication::sendPostedEvents();
        QVERIFY(!mask->isVisible());
        QCOMPARE(outcomes(), QStringList{"1|false|page|交易日设置|" + shown});

        CHostFixture::center()->clearServerMessages();
        submit();
        QCOMPARE(outcomes(), QStringList{saved});
        QCOMPARE(CTradeDateMaps::describe(backend->marketDays(0)), QStringList{"2026-08-20=3"});
    }

    void uploadReplacesTheWholeMap()
    {
        backend->setMarketDays(1, CTradeDateMaps::parse("2026-08-13=1 2026-10-08=1"));
        openPage(1);
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page.get(), "2026-08-20"), "+"));
        QVERIFY(CCalendarUi::clickButton(page.get(), ">"));

        QTemporaryDir dir;
        QFile file(dir.filePath("交易日.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write("日期,是否交易日\n2026-09-01,1\n2026-09-02,0\n2026-08-14,1\n2025-12-31,1") > 0);
        file.close();
        tds::CModalDriver driver;
        driver.arm([&](QWidget* dialog) {
            dialog->findChild<IMC::CSafeLineEdit*>()->setText(file.fileName());
            CCalendarUi::clickButton(dialog, "上传文件");
            CCalendarUi::clickButton(dialog, "关闭"); // still open only when it refused the file
        });
        QVERIFY(CCalendarUi::clickButton(page.get(), "上传设置交易日"));

        QCOMPARE(CCalendarUi::monthLabel(page.get()), QStringLiteral("2026年9月"));
        QCOMPARE(tradeDays(), QStringLiteral("2026-09-01"));
        QVERIFY(backend->receivedOperations().empty()); // nothing is sent until the operator saves
        submit();
        QCOMPARE(CTradeDateMaps::describe(backend->marketDays(1)).join(' '),
                 QStringLiteral("2025-12-31=1 2026-08-14=1 2026-09-01=1"));
    }

    void platformChangeQueriesAndSavesTheOtherPlatform()
    {
        backend->setMarketDays(3, CTradeDateMaps::parse("2026-08-13=1"), "14");
        backend->setMarketDays(3, CTradeDateMaps::parse("2026-08-14=1"), "15");
        openPage(3);
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page.get(), "2026-08-20"), "+"));

        auto* combo = page->findChild<XP::CComboBox*>();
        QVERIFY(CCalendarUi::text(page.get(), "市场类型"));
        QCOMPARE(combo->itemText(0) + ' ' + combo->itemText(1),
                 QStringLiteral("期货电子盘市场 利率电子盘市场"));

        CHostFixture::client()->holdAnswers();
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(tradeDays(), QStringLiteral("2026-08-13 2026-08-20")); // kept until the answer arrives
        CHostFixture::client()->releaseAnswers();
        QVERIFY(CHostFixture::waitForAnswers());
        QCOMPARE(tradeDays(), QStringLiteral("2026-08-13 2026-08-20")); // the answer waits for the GUI thread
        QCoreApplication::sendPostedEvents();
        QCOMPARE(tradeDays(), QStringLiteral("2026-08-14"));

        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page.get(), "2026-08-21"), "+"));
        submit();
        QCOMPARE(CTradeDateMaps::describe(backend->marketDays(3, "15")) +
                     CTradeDateMaps::describe(backend->marketDays(3, "14")),
                 QStringList({"2026-08-14=1", "2026-08-21=1", "2026-08-13=1"}));
    }

private:
    static std::string platformOf(int market) { return market == 3 ? "14" : ""; }

    void makePage(int market)
    {
        page = std::make_unique<IMC::CSystemTradingDayWidget>(static_cast<ttservice::EZRMarketType>(market));
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    void openPage(int market)
    {
        makePage(market);
        page->onActive();
        answer();
    }

    // Waits until the system has answered everything sent so far and the page has taken the answers.
    void answer()
    {
        QVERIFY(CHostFixture::waitForAnswers());
        QCoreApplication::sendPostedEvents();
    }

    void submit()
    {
        QVERIFY(CCalendarUi::clickButton(page.get(), "提交保存"));
        answer();
    }

    // Outcomes shown through the host's message display, each as "type|success|parent|title|text".
    QStringList outcomes() const
    {
        QStringList shown;
        for (const IMC::CServerMessage& message : CHostFixture::center()->serverMessages()) {
            const QString parent = message.parent.data() == page.get() ? "page" : "elsewhere";
            shown << QStringList{QString::number(message.type), message.success ? "true" : "false", parent,
                                 message.title, message.text}
                         .join('|');
        }
        return shown;
    }

    // Dates of the shown cells that show a trading day.
    QString tradeDays() const
    {
        QStringList days;
        for (const QString& date : CCalendarUi::shownDates(page.get())) {
            if (CCalendarUi::describe(CCalendarUi::cell(page.get(), date)).contains("trade")) {
                days << date;
            }
        }
        return days.join(' ');
    }

    const QString saved = QStringLiteral("0|true|page|交易日设置|操作成功");
    std::shared_ptr<IMC::CMemoryTradingDayBackend> backend;
    std::unique_ptr<IMC::CSystemTradingDayWidget> page;
};

QTEST_MAIN(TestCalendarPage)
#include "tst_calendarpage.moc"
