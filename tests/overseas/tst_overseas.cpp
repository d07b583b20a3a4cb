#include "../calendar/CCalendarUi.h"
#include "../calendar/CTradeDateMaps.h"

#include "calendar/CCalenderCellWidget.h"
#include "overseas/CAddExchangDialog.h"
#include "overseas/COverSeaTradingDayWidget.h"
#include "overseas/CTradingDayDialog.h"
#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CUserManager.h"
#include "widgets/CComboBox.h"
#include "widgets/CCommonDialog.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"
#include "widgets/hpf/CBaseTableColumnMultiButtonsDelegate.h"
#include "widgets/hpf/CHpfItemModel.h"
#include "widgets/hpf/CStandardHpfTable.h"

#include "CHostFixture.h"
#include "CModalDriver.h"
#include "COverseasUi.h"
#include "TestGuards.h"

#include <QTableView>
#include <QtTest>

#include <boost/make_shared.hpp>
#include <boost/pointer_cast.hpp>

#include <memory>

using IMC::CAddExchangDialog;
using tds::CCalendarUi;
using tds::CHostFixture;
using tds::CTradeDateMaps;

namespace {

const QString allRows = QStringLiteral("X|B Y| X|A");

boost::shared_ptr<ttservice::CItsmPlatformInfo> track(int id, const std::string& name)
{
    auto info = boost::make_shared<ttservice::CItsmPlatformInfo>();
    info->platformId = id;
    info->platformName = name;
    return info;
}

boost::shared_ptr<ttservice::CItsmInstrumentDetail> instrument(const std::string& name,
                                                               const std::string& code)
{
    auto record = boost::make_shared<ttservice::CItsmInstrumentDetail>();
    record->detail = boost::make_shared<ttservice::CItsmInstrumentDetailInfo>();
    record->detail->exchangeName = name;
    record->detail->exchangeCode = code;
    return record;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> exchange(const std::string& name, int trackId,
                                                                 const char* day = nullptr)
{
    auto record = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    record->marketType = 4;
    record->exchangeName = name;
    record->exchangeCode = "C" + name;
    record->trackId = trackId;
    record->tradeDates = day ? CTradeDateMaps::daysOf({{day, 1}}) : TradeDateMap();
    return record;
}

// The shown rows of the exchange table as "name|track", separated by blanks.
QString shownRows(const QWidget* page)
{
    const QAbstractItemModel* items = page->findChild<QTableView*>()->model();
    QStringList rows;
    for (int row = 0; row < items->rowCount(); ++row) {
        rows << items->index(row, 0).data().toString() + QLatin1Char('|') +
                    items->index(row, 2).data().toString();
    }
    return rows.join(QLatin1Char(' '));
}

// The texts of the labels, in the order they were made.
QStringList texts(const QWidget* root)
{
    QStringList shown;
    for (const auto* label : root->findChildren<XP::CSimpleTextWidget*>()) {
        shown << label->getText();
    }
    return shown;
}

XP::CComboBox* combo(const QWidget* dialog, int id)
{
    for (XP::CComboBox* candidate : dialog->findChildren<XP::CComboBox*>()) {
        if (candidate->id() == id) {
            return candidate;
        }
    }
    return nullptr;
}

// "text=data" for every item of the combo box.
QStringList comboItems(const XP::CComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i) + QLatin1Char('=') + box->itemData(i).toString();
    }
    return items;
}

} // namespace

// The overseas page and the trading-day dialog it opens. Runs under a clock that starts at Wednesday
// 2026-08-12 10:00 (Shanghai). The codes A1 and B2 share the name X, two exchanges are named X, and Y's
// track 7 has no name.
class TestOverseas : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        backend = std::make_shared<IMC::CMemoryTradingDayBackend>();
        backend->setTracks("14", {track(1, "A"), track(-1, "无效")}); // -1 is never offered
        backend->setTracks("15", {track(2, "B")});
        backend->setInstruments(
            {instrument("X", "B2"), instrument("X", "A1"), instrument("Y", "C2"), instrument("Z", "C3")});
        backend->setTypedRecords(
            {exchange("X", 2, "2026-08-20"), exchange("Y", 7), exchange("X", 1, "2026-08-21")});
        CHostFixture::start(backend);
    }

    void cleanup()
    {
        dialog.reset();
        page.reset();
        CHostFixture::client()->releaseAnswers();
        QVERIFY(CHostFixture::finish());
    }

    void loadsTracksThenExchanges()
    {
        makePage();
        QVERIFY(settle());
        QCOMPARE(referenceQueries(), QStringList{"12482:"});
        QCOMPARE(outcome(), (QStringList{"0 queries", ""}));
        page->onActive();
        QVERIFY(settle());
        QCOMPARE(referenceQueries(), (QStringList{"12482:", "12262:14", "12262:15"}));
        QCOMPARE(outcome(), (QStringList{"1 queries", allRows}));
        const QAbstractItemModel* table = page->findChild<QTableView*>()->model();
        QCOMPARE(texts(page.get()) << page->findChild<IMC::CSafeLineEdit*>()->emptyHint()
                                   << table->headerData(0, Qt::Horizontal).toString()
                                   << table->headerData(1, Qt::Horizontal).toString()
                                   << table->headerData(2, Qt::Horizontal).toString(),
                 (QStringList{"查询交易所:", "请输入交易所名称, 按Enter查询", "交易所中文名称", "操作",
                              "所属赛道"}));
    }

    // Each row's name is the step at which a request fails and the failure's text. Steps: 0 the exchange
    // codes, 1 the first track list, 2 the first exchange list, 3 a refresh after a list was shown. Then the
    // page is activated once more.
    void failures_data()
    {
        QTest::addColumn<QStringList>("seen");
        QTest::addColumn<QString>("rowsAfterActivation");
        QTest::newRow("0 ") << QStringList{"warning|请求数据失败|", "1 queries", allRows} << allRows;
        QTest::newRow("1 无平台") << QStringList{"warning|请求平台数据失败|无平台", "0 queries", ""}
                                  << allRows;
        QTest::newRow("2 服务繁忙") << QStringList{"warning|请求数据失败|服务繁忙", "1 queries", ""}
                                    << QString();
        QTest::newRow("3 ") << QStringList{"warning|请求数据失败|未知异常", "2 queries", allRows} << allRows;
    }

    void failures()
    {
        QFETCH(QStringList, seen);
        QFETCH(QString, rowsAfterActivation);
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        const int step = tag.section(QLatin1Char(' '), 0, 0).toInt();
        const auto failAt = [&](int at) {
            if (step == at) {
                backend->failNext(tag.section(QLatin1Char(' '), 1).toStdString());
            }
        };
        failAt(0);
        makePage(); // asks for the exchange codes at once
        QVERIFY(settle());
        failAt(1);
        page->onActive();
        QVERIFY(CHostFixture::waitForAnswers()); // answered, not yet delivered
        failAt(2);
        QVERIFY(settle());
        if (step == 3) {
            backend->setTypedRecords({exchange("Z", 1)});
            failAt(3);
            QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("刷新")));
            QVERIFY(settle());
        }
        QCOMPARE(outcome(), seen);
        page->onActive();
        QVERIFY(settle());
        QCOMPARE(shownRows(page.get()), rowsAfterActivation);
    }

    void searchFiltersByNameOnEnter()
    {
        loadList();
        search(QStringLiteral("X"));
        QVERIFY(CCalendarUi::clickButton(page.get(), QStringLiteral("刷新")));
        QVERIFY(settle());
        QCOMPARE(outcome(), (QStringList{"2 queries", "X|B X|A"}));
        search(QString());
        QCOMPARE(outcome(), (QStringList{"2 queries", allRows}));
    }

    // Each row's name is an action of the operator, and after a "!" the text of the failure the back end
    // answers with. "跳转 ROW BUTTON" presses BUTTON in the trading-day dialog of the shown row; "新增
    // EXCHANGE|TRACK" chooses in the add dialog and saves ("新增" alone cancels); "删除 ROW ANSWER" answers
    // the confirmation. The later record named X gives the days and the smaller code named X the code;
    // deleting X sends the larger code; Y's nameless track is the lowest id known with an empty name.
    void operatorActions_data()
    {
        QTest::addColumn<QStringList>("seen");
        const QString confirm = QStringLiteral("warning|警告|是否确认删除该条数据？");
        QTest::newRow("跳转 0 关闭") << QStringList{"1 queries", allRows};
        QTest::newRow("跳转 0 提交保存") << QStringList{"1|X|A1|2|2026-08-21=1", "2 queries", allRows};
        QTest::newRow("跳转 2 提交保存") << QStringList{"1|X|A1|1|2026-08-21=1", "2 queries", "X|A Y| X|A"};
        QTest::newRow("新增 Z|A") << QStringList{"1|Z|C3|1|", "2 queries", allRows + " Z|A"};
        QTest::newRow("新增 Z|B!冲突")
            << QStringList{"warning|请求失败|冲突", "1|Z|C3|2|", "1 queries", allRows};
        QTest::newRow("新增 X|A") << QStringList{"warning|提示|交易所名称已存在！", "1 queries", allRows};
        QTest::newRow("新增 --请选择--|A")
            << QStringList{"information|提示|请选择交易所", "1 queries", allRows};
        QTest::newRow("新增") << QStringList{"1 queries", allRows};
        QTest::newRow("删除 0 No") << QStringList{confirm, "1 queries", allRows};
        QTest::newRow("删除 0 Ok") << QStringList{confirm, "3|X|B2|2|", "2 queries", "Y| X|A"};
        QTest::newRow("删除 1 Ok") << QStringList{confirm, "3|Y|C2|7|", "2 queries", "X|B X|A"};
        QTest::newRow("删除 0 Ok!") << QStringList{confirm, "warning|请求失败|未知异常", "3|X|B2|2|",
                                                   "1 queries", allRows};
    }

    void operatorActions()
    {
        QFETCH(QStringList, seen);
        loadList();
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        if (tag.contains(QLatin1Char('!'))) {
            backend->failNext(tag.section(QLatin1Char('!'), 1).toStdString());
        }
        const QStringList words = tag.section(QLatin1Char('!'), 0, 0).split(QLatin1Char(' '));
        const int row = words.value(1).toInt();
        tds::CModalDriver driver;
        QString title;
        if (words[0] == QStringLiteral("跳转")) {
            driver.arm([&](QWidget* modal) {
                title = static_cast<XP::CCommonDialog*>(modal)->title();
                CCalendarUi::clickButton(modal, words[2]);
            });
            QVERIFY(tds::COverseasUi::clickRowButton(page.get(), row, words[0]));
            QCOMPARE(title, QStringLiteral("X交易日设置"));
        } else {
            // Held answers leave the mask over the page while an operation is outstanding.
            CHostFixture::client()->holdAnswers();
            if (words[0] == QStringLiteral("删除")) {
                XP::CMessageBoxScript::pushAnswer(words[2] == QLatin1String("No") ? QMessageBox::No
                                                                                  : QMessageBox::Ok);
                QVERIFY(tds::COverseasUi::clickRowButton(page.get(), row, words[0]));
            } else {
                driver.arm([&](QWidget* modal) { add(modal, words.value(1)); });
                QVERIFY(CCalendarUi::clickButton(page.get(), words[0]));
            }
            const bool sends = !seen.filter(QRegularExpression(QStringLiteral("^\\d\\|"))).isEmpty();
            const auto* mask = page->findChild<XP::CLoadingMaskWidget*>();
            QCOMPARE(mask->isVisible() ? mask->text() : QString(),
                     sends ? QStringLiteral("正在提交数据") : QString());
            CHostFixture::client()->releaseAnswers();
        }
        QVERIFY(settle());
        QCOMPARE(outcome(), seen);
    }

    // Each row's name is the buttons pressed, in order.
    void navigates_data()
    {
        QTest::addColumn<QString>("month");
        QTest::newRow("") << QStringLiteral("2026年8月");
        QTest::newRow("<") << QStringLiteral("2026年7月 今天");
        QTest::newRow("< 今天") << QStringLiteral("2026年8月");
        QTest::newRow(">> <<") << QStringLiteral("2026年8月");
        QTest::newRow("> > > > >") << QStringLiteral("2027年1月 今天");
        QTest::newRow("< < < < < < < <") << QStringLiteral("2025年12月 今天");
        QTest::newRow("> > > > > > > > > > > >") << QStringLiteral("2027年8月 今天");
        QTest::newRow("< < < < < < < < < < < < >>") << QStringLiteral("2026年8月");
    }

    void navigates()
    {
        QFETCH(QString, month);
        openDialog({});
        for (const QString& press :
             QString::fromUtf8(QTest::currentDataTag()).split(' ', Qt::SkipEmptyParts)) {
            QVERIFY2(CCalendarUi::clickButton(dialog.get(), press), qPrintable(press));
        }
        QCOMPARE(shown(), month);
    }

    // Overseas days have a day session only; past days and the neighbouring months are not editable. The
    // defaults fill every weekday of the shown month, past ones included; the edits of every month are saved.
    void editsReachTheSavedMap()
    {
        openDialog(CTradeDateMaps::daysOf(
            {{"2025-03-03", 1}, {"2026-07-31", 0}, {"2026-08-03", 0}, {"2026-08-20", 1}}));
        QStringList cells;
        for (const char* date : {"2026-08-20", "2026-08-13", "2026-08-11", "2026-07-31"}) {
            cells << CCalendarUi::describe(CCalendarUi::cell(dialog.get(), QString::fromLatin1(date)));
        }
        QCOMPARE(cells, (QStringList{"20 trade X day*", "13 +", "11", "31"}));
        QVERIFY(!CCalendarUi::button(dialog.get(), QStringLiteral("月视图"))->isEnabled());
        QStringList weekdays;
        for (int column = 0; column < 7; ++column) {
            weekdays << CCalendarUi::dayTable(dialog.get())->columnHeader(column);
        }
        QCOMPARE(weekdays.join(QLatin1Char(' ')),
                 QStringLiteral("星期天 星期一 星期二 星期三 星期四 星期五 星期六"));
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral("设置默认交易日")));
        QCOMPARE(shown(), QStringLiteral("2026年8月"));
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(dialog.get(), "2026-08-20"), QStringLiteral("X")));
        QVERIFY(CCalendarUi::clickCheckBox(CCalendarUi::cell(dialog.get(), "2026-08-21"),
                                           QStringLiteral("日盘")));
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral(">")));
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(dialog.get(), "2026-09-07"), QStringLiteral("+")));
        QStringList expected{"2025-03-03=1", "2026-07-31=0"};
        for (QDate day(2026, 8, 1); day.month() == 8; day = day.addDays(1)) {
            if (day.dayOfWeek() <= 5 && day.day() != 20) {
                expected << day.toString(QStringLiteral("yyyy-MM-dd=")) + (day.day() == 21 ? "0" : "1");
            }
        }
        QSignalSpy finished(dialog.get(), &QDialog::finished);
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral("提交保存")) && finished.wait(5000));
        QCOMPARE(operations(),
                 QStringList{"1|芝加哥|CME|2|" + (expected << "2026-09-07=1").join(QLatin1Char(','))});
    }

    // Each row's name is the button pressed ("×" the title bar's), and after a "!" the text of the failure
    // the back end answers with. Closing discards the edits; a save closes accepted whatever the answer.
    void closing_data()
    {
        QTest::addColumn<QStringList>("seen");
        const QString save = QStringLiteral("1|芝加哥|CME|2|2026-08-20=1");
        QTest::newRow("提交保存") << QStringList{"accepted", save, "0|1|交易日设置|操作成功"};
        QTest::newRow("提交保存!不存在") << QStringList{"accepted", save, "1|0|交易日设置|不存在"};
        QTest::newRow("提交保存!") << QStringList{"accepted", save, "1|0|交易日设置|未知异常"};
        QTest::newRow("关闭") << QStringList{"rejected"};
        QTest::newRow("×") << QStringList{"rejected"};
    }

    void closing()
    {
        QFETCH(QStringList, seen);
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        const QString button = tag.section(QLatin1Char('!'), 0, 0);
        openDialog(CTradeDateMaps::daysOf({{"2026-08-20", 1}}));
        if (tag.contains(QLatin1Char('!'))) {
            backend->failNext(tag.section(QLatin1Char('!'), 1).toStdString());
        }
        QSignalSpy finished(dialog.get(), &QDialog::finished);
        CHostFixture::client()->holdAnswers();
        QVERIFY(CCalendarUi::click(button == QStringLiteral("×")
                                       ? dialog->closeButton()
                                       : CCalendarUi::button(dialog.get(), button)));
        auto* mask = dialog->findChild<XP::CLoadingMaskWidget*>();
        QCOMPARE(mask->isVisible() ? mask->text() : QString(),
                 seen.size() > 1 ? QStringLiteral("正在提交数据") : QString());
        CHostFixture::client()->releaseAnswers();
        QVERIFY(finished.size() == 1 || finished.wait(5000));
        QVERIFY(CHostFixture::waitForAnswers());
        QStringList shown{finished.at(0).at(0).toInt() == QDialog::Accepted ? "accepted" : "rejected"};
        shown << operations();
        for (const IMC::CServerMessage& message : CHostFixture::center()->serverMessages()) {
            shown << QStringLiteral("%1|%2|%3|%4")
                             .arg(message.type)
                             .arg(message.success)
                             .arg(message.title, message.text) +
                         (message.parent.data() == dialog.get() ? QString() : QStringLiteral(" elsewhere"));
        }
        QCOMPARE(shown, seen);
        QVERIFY(!mask->isVisible());
    }

    void withoutTheRightThereIsNoSave()
    {
        CHostFixture::user()->revokeRight(10615);
        openDialog({});
        QVERIFY(!CCalendarUi::button(dialog.get(), QStringLiteral("提交保存")));
        QVERIFY(CCalendarUi::button(dialog.get(), QStringLiteral("关闭")));
    }

private:
    void openDialog(const TradeDateMap& days)
    {
        dialog = std::make_unique<IMC::CTradingDayDialog>(nullptr);
        dialog->setExchangeInfo(days, QStringLiteral("芝加哥"), QStringLiteral("CME"), 2);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    // The month label, followed by "今天" while that button is enabled.
    QString shown() const
    {
        const bool today = CCalendarUi::button(dialog.get(), QStringLiteral("今天"))->isEnabled();
        return CCalendarUi::monthLabel(dialog.get()) + (today ? QStringLiteral(" 今天") : QString());
    }

    void makePage()
    {
        page = std::make_unique<IMC::COverSeaTradingDayWidget>();
        page->resize(900, 600);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    void loadList()
    {
        makePage();
        page->onActive();
        QVERIFY(settle());
        QCOMPARE(outcome(), (QStringList{"1 queries", allRows}));
    }

    // Chooses "exchange|track" in the add dialog and saves; cancels when the dialog is still open.
    static void add(QWidget* dialog, const QString& choice)
    {
        XP::CComboBox* exchanges = combo(dialog, CAddExchangDialog::ExchangeComboId);
        XP::CComboBox* tracks = combo(dialog, CAddExchangDialog::TrackComboId);
        QCOMPARE(texts(dialog) << static_cast<XP::CCommonDialog*>(dialog)->title(),
                 (QStringList{"交易所代码:", "  所属赛道:", "新增交易所代码"}));
        QCOMPARE(comboItems(exchanges) + comboItems(tracks),
                 (QStringList{"--请选择--=-1", "X=A1", "X=B2", "Y=C2", "Z=C3", "A=1", "B=2", "=7"}));
        exchanges->setCurrentIndex(exchanges->findText(choice.section(QLatin1Char('|'), 0, 0)));
        tracks->setCurrentIndex(tracks->findText(choice.section(QLatin1Char('|'), 1)));
        if (!choice.isEmpty()) {
            CCalendarUi::clickButton(dialog, QStringLiteral("保存"));
        }
        if (dialog->isVisible()) {
            CCalendarUi::clickButton(dialog, QStringLiteral("取消"));
        }
    }

    // Types text into the search field, as an input method hands it over, and presses Enter.
    void search(const QString& text)
    {
        auto* edit = page->findChild<IMC::CSafeLineEdit*>();
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // Lets every request be answered and every answer reach the page, the requests answers send included.
    static bool settle()
    {
        for (int round = 0; round < 4; ++round) {
            if (!CHostFixture::waitForAnswers()) {
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

    // Each operation as "operation|name|code|track|days", or "malformed" when the request around its one
    // record is not an overseas save or delete (data kind 12306, platform "WP", market type 4).
    QStringList operations() const
    {
        QStringList sent;
        for (const IMC::CReceivedOperation& operation : backend->receivedOperations()) {
            const auto& request = *operation.request;
            const auto record =
                boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(request.records.at(0));
            const bool wellFormed = request.dataType == 12306 && request.platformParam == "WP" &&
                                    request.records.size() == 1 && record && record->marketType == 4;
            sent << (wellFormed
                         ? QStringLiteral("%1|%2|%3|%4|%5")
                               .arg(request.operation)
                               .arg(QString::fromStdString(record->exchangeName),
                                    QString::fromStdString(record->exchangeCode))
                               .arg(record->trackId)
                               .arg(CTradeDateMaps::describe(record->tradeDates).join(QLatin1Char(',')))
                         : QStringLiteral("malformed"));
        }
        return sent;
    }

    // What the operator and the back end saw: the boxes, the operations, how many exchange lists were asked
    // for (data kind 12306, market "4", platform "WP") and the rows shown. Boxes lie over the page, the
    // delete confirmation over nothing.
    QStringList outcome() const
    {
        QStringList seen = CHostFixture::boxes();
        for (const XP::CMessageBoxCall& call : XP::CMessageBoxScript::calls()) {
            const QWidget* parent = call.title == QStringLiteral("警告") ? nullptr : page.get();
            if (call.kind == QLatin1String("warning") && call.parent.data() != parent) {
                seen << QStringLiteral("wrong parent");
            }
        }
        int queries = 0;
        for (const ttservice::CItsmQueryDataReq& query : backend->receivedQueries()) {
            queries +=
                query.dataType == 12306 && query.marketParam == "4" && query.platformParam == "WP" ? 1 : 100;
        }
        return seen << operations() << QStringLiteral("%1 queries").arg(queries) << shownRows(page.get());
    }

    std::shared_ptr<IMC::CMemoryTradingDayBackend> backend;
    std::unique_ptr<IMC::COverSeaTradingDayWidget> page;
    std::unique_ptr<IMC::CTradingDayDialog> dialog;
};

QTEST_MAIN(TestOverseas)
#include "tst_overseas.moc"
