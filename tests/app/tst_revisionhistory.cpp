#include "CHostMainWindow.h"
#include "CRevisionHistoryDialog.h"
#include "CSqlTradingDayBackend.h"

#include "services/CUserManager.h"
#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"
#include "widgets/CComboBox.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/hpf/CStandardHpfTable.h"
#include "widgets/hpf/IBaseHpfTableModel.h"

#include "CBackendTestKit.h"
#include "CHostFixture.h"
#include "CHostWindowStarter.h"
#include "TestGuards.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Kit = tds::CBackendTestKit;
using tds::CHostFixture;

// tradingday-host's "修订历史" on a SQLite store: the revisions of the market or exchange the panel shows,
// what the selected one changed, and restoring it.
class TestRevisionHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        store = std::make_unique<IMC::CSqlTradingDayBackend>(dir->filePath("tradingday.db"));
        seed();
    }

    void cleanup()
    {
        window.reset();
        QVERIFY(CHostFixture::finish());
        store.reset();
        utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance()->resetForTests();
    }

    void listsTheShownMarketsRevisionsNewestFirst_data()
    {
        QTest::addColumn<int>("page");
        // shown: the platform of page 2 or the exchange selected in page 3's table; chosen: the exchange
        // chosen in the window.
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("domestic") << 0 << ""
                                  << "" << QStringList{"2|李四|保存|3", "1|张三|保存|2"};
        QTest::newRow("electronic 15") << 2 << "15"
                                       << "" << QStringList{"4|赵六|保存|1"};
        // Both rows name the exchange the window would not show first.
        const QStringList london{"6|孙七|保存|2", "5|孙七|保存|1"};
        QTest::newRow("exchange of the table") << 3 << "伦敦金属交易所"
                                               << "" << london;
        QTest::newRow("exchange of the window") << 3 << ""
                                                << "伦敦金属交易所" << london;
    }

    void listsTheShownMarketsRevisionsNewestFirst()
    {
        QFETCH(int, page);
        QFETCH(QString, shown);
        QFETCH(QString, chosen);
        startHost();
        window->showPanelPage(page);
        if (page == 2) {
            auto* platforms = window->findChild<XP::CComboBox*>(); // only the electronic page has one
            platforms->setCurrentIndex(platforms->findData(shown.toInt()));
        } else if (page == 3 && !shown.isEmpty()) {
            selectExchangeInTable(shown);
        }
        IMC::CRevisionHistoryDialog* history = openHistory();
        if (!chosen.isEmpty()) {
            auto* exchanges = history->findChild<QComboBox*>();
            QTRY_VERIFY(exchanges->count() > 0);
            exchanges->setCurrentIndex(exchanges->findText(chosen));
        }
        QTRY_VERIFY(!history->isBusy());
        QTEST(rows(history), "rows");
        QCOMPARE(headers(history), QStringLiteral("编号|时间|操作员|操作|交易日数"));
    }

    void showsTheDaysTheSelectedRevisionAddedAndRemoved_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("removed");
        QTest::newRow("against the one before")
            << 0 << QStringList{"2026-08-05", "2026-08-06"} << QStringList{"2026-08-03"};
        QTest::newRow("oldest against none") << 1 << QStringList{"2026-08-03", "2026-08-04"} << QStringList{};
    }

    void showsTheDaysTheSelectedRevisionAddedAndRemoved()
    {
        QFETCH(int, row);
        startHost();
        IMC::CRevisionHistoryDialog* history = openHistory();
        QTRY_VERIFY(!history->isBusy());
        history->findChild<QTableWidget*>()->selectRow(row);
        QTRY_VERIFY(!history->isBusy());
        QTEST(listed(history, "新增交易日"), "added");
        QTEST(listed(history, "移除交易日"), "removed");
    }

    void restoresTheSelectedRevisionWhenConfirmedAndAllowed_data()
    {
        const QString question =
            "question|修订历史|是否确认恢复修订 1？当前的交易日将被替换为该修订的 2 个交易日。";
        const QStringList before{"2026-08-04=3", "2026-08-05=3", "2026-08-06=3"};
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("maintainer"); // granted 10615 before the restore
        QTest::addColumn<QString>("topRow");
        QTest::addColumn<QStringList>("days");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("confirmed") << int(QMessageBox::Yes) << ""
                                   << "7|赵六|保存(恢复修订 1)|2"
                                   << QStringList{"2026-08-03=3", "2026-08-04=3"} << QStringList{question};
        QTest::newRow("declined") << int(QMessageBox::No) << ""
                                  << "2|李四|保存|3" << before << QStringList{question};
        QTest::newRow("without 10615")
            << int(QMessageBox::Yes) << "王五"
            << "2|李四|保存|3" << before
            << QStringList{question, "warning|修订历史|操作员 赵六 没有交易日维护权限(10615)"};
    }

    void restoresTheSelectedRevisionWhenConfirmedAndAllowed()
    {
        QFETCH(int, answer);
        QFETCH(QString, maintainer);
        if (!maintainer.isEmpty()) {
            QVERIFY(store->grantRight(maintainer.toStdString(), 10615).isSuccess());
        }
        startHost();
        CHostFixture::user()->setUserName("赵六");
        IMC::CRevisionHistoryDialog* history = openHistory();
        QTRY_VERIFY(!history->isBusy());
        history->findChild<QTableWidget*>()->selectRow(1);
        XP::CMessageBoxScript::pushAnswer(QMessageBox::StandardButton(answer));
        button(history, "恢复此修订")->click();
        QTRY_VERIFY(!history->isBusy());
        QTEST(rows(history).value(0), "topRow");
        QTEST(Kit::days(*store, "0"), "days");
        QTEST(CHostFixture::boxes(), "boxes");
    }

    void historyNeedsAStoreThatKeepsRevisions_data()
    {
        QTest::addColumn<bool>("sqlite");
        QTest::newRow("SQLite store") << true;
        QTest::newRow("memory store") << false;
    }

    void historyNeedsAStoreThatKeepsRevisions()
    {
        QFETCH(bool, sqlite);
        startHost(sqlite ? dir->filePath("tradingday.db") : QStringLiteral("memory:"));
        QCOMPARE(historyAction()->isEnabled(), sqlite);
    }

private:
    // Revisions 1 to 6: two of the domestic market, one of 香港交易所, one of electronic platform 15 and two
    // of 伦敦金属交易所.
    void seed()
    {
        QVERIFY(Kit::save(*store, 0, "", Kit::makeDays({"2026-08-03", "2026-08-04"}, 3), "张三").isSuccess());
        QVERIFY(Kit::save(*store, 0, "", Kit::makeDays({"2026-08-04", "2026-08-05", "2026-08-06"}, 3), "李四")
                    .isSuccess());
        saveExchange("香港交易所", "HKEX", 4, {"2026-08-10"}, "王五");
        QVERIFY(Kit::save(*store, 3, "15", Kit::makeDays({"2026-08-07"}, 1), "赵六").isSuccess());
        saveExchange("伦敦金属交易所", "LME", 2, {"2026-08-10"}, "孙七");
        saveExchange("伦敦金属交易所", "LME", 2, {"2026-08-10", "2026-08-11"}, "孙七");
    }

    void saveExchange(const std::string& name, const std::string& code, int track, const QStringList& days,
                      const std::string& operatorName)
    {
        const auto exchange = Kit::makeExchange(name, code, track, Kit::makeDays(days, 1));
        QVERIFY(
            Kit::operate(*store, IMC::ITradingDayBackend::OperationSave, exchange, operatorName).isSuccess());
    }

    void startHost(const QString& address = QString())
    {
        QString error;
        window = tds::CHostWindowStarter::start(address.isEmpty() ? dir->filePath("tradingday.db") : address,
                                                &error);
        QVERIFY2(window, qPrintable(error));
    }

    void selectExchangeInTable(const QString& name)
    {
        auto* table = window->findChild<XP::CStandardHpfTable*>();
        QTRY_COMPARE(table->rowCount(), 2);
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->dataModel()->getData(row)->cellText(0) == name) {
                table->selectRow(row);
            }
        }
    }

    QAction* historyAction() const
    {
        for (QAction* action : window->findChildren<QAction*>()) {
            if (action->text() == QStringLiteral("修订历史")) {
                return action;
            }
        }
        return nullptr;
    }

    IMC::CRevisionHistoryDialog* openHistory() const
    {
        historyAction()->trigger();
        return window->findChild<IMC::CRevisionHistoryDialog*>();
    }

    static QPushButton* button(const QWidget* history, const QString& text)
    {
        for (QPushButton* button : history->findChildren<QPushButton*>()) {
            if (button->text() == text) {
                return button;
            }
        }
        return nullptr;
    }

    // "id|operator|operation|days" per row; before it a complaint when its time is not the local time of
    // the save (the test's clock starts at 10:00) as yyyy-MM-dd HH:mm:ss.
    static QStringList rows(const QWidget* history)
    {
        const auto* table = history->findChild<QTableWidget*>();
        QStringList lines;
        for (int row = 0; row < table->rowCount(); ++row) {
            const QString time = table->item(row, 1)->text();
            if (!time.startsWith(QStringLiteral("2026-08-12 10:")) || time.size() != 19) {
                lines << QStringLiteral("time shown as ") + time;
            }
            lines << QStringList{table->item(row, 0)->text(), table->item(row, 2)->text(),
                                 table->item(row, 3)->text(), table->item(row, 4)->text()}
                         .join('|');
        }
        return lines;
    }

    static QString headers(const QWidget* history)
    {
        const auto* table = history->findChild<QTableWidget*>();
        QStringList texts;
        for (int column = 0; column < table->columnCount(); ++column) {
            texts << table->horizontalHeaderItem(column)->text();
        }
        return texts.join('|');
    }

    // The dates in the list under the label title.
    static QStringList listed(const QWidget* history, const QString& title)
    {
        QStringList dates;
        for (const QLabel* label : history->findChildren<QLabel*>()) {
            if (label->text() == title) {
                const auto* list = label->parentWidget()->findChild<QListWidget*>();
                for (int row = 0; row < list->count(); ++row) {
                    dates << list->item(row)->text();
                }
            }
        }
        return dates;
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<IMC::CSqlTradingDayBackend> store;
    std::unique_ptr<IMC::CHostMainWindow> window;
};

QTEST_MAIN(TestRevisionHistory)
#include "tst_revisionhistory.moc"
