#include "upload/CSystemTradingDayUploadingDialog.h"

#include "widgets/CEventWidgetT.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"

#include "CModalDriver.h"
#include "TestGuards.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

using IMC::CSystemTradingDayUploadingDialog;

namespace {

QString testFile(const QString& name)
{
    return QStringLiteral(TDS_TEST_FILES "/") + name;
}

// Stands in for the calendar page: records the events its dialog delivers (type, id, param, and 1
// when the text is empty and the data null).
class COwnerPage : public XP::CEventWidgetT<QWidget>
{
public:
    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        events.append({type, id, param, text.isEmpty() && !data ? 1 : 0});
        return type == CSystemTradingDayUploadingDialog::uploadedEventType;
    }
    QList<QList<int>> events;
};

QStringList keysOf(const TradeDateMap& tradeDates)
{
    QStringList keys;
    for (const auto& entry : tradeDates) {
        keys.append(QString::fromStdString(entry.first));
    }
    return keys;
}

} // namespace

class TestUploadingDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        XP::CMessageBoxScript::reset();
        XP::CMessageBoxScript::enable(true);
        page = new COwnerPage;
        dialog = new CSystemTradingDayUploadingDialog(page);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }

    void cleanup()
    {
        delete page;
        XP::CMessageBoxScript::reset();
        qunsetenv("TDS_SOFFICE");
    }

    void builtAsTheOperatorSeesIt()
    {
        QCOMPARE(dialog->title(), QStringLiteral("上传文件"));
        QCOMPARE(dialog->size(), QSize(430, 170));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        const QList<QPair<int, QString>> buttons{{401, "浏览..."}, {402, "上传文件"}, {403, "关闭"}};
        for (const auto& expected : buttons) {
            XP::CSmallNormalButton* control = button(expected.first);
            QVERIFY(control);
            QCOMPARE(control->text(), expected.second);
        }
        QCOMPARE(button(401)->size(), QSize(70, 26));
        QCOMPARE(button(402)->size(), QSize(80, 26));
        QCOMPARE(button(403)->size(), QSize(60, 26));
        QCOMPARE(pathEdit()->id(), 404);
        QVERIFY(pathEdit()->isReadOnly());
        QCOMPARE(pathEdit()->size(), QSize(160, 26));
        QStringList labels;
        for (auto* label : dialog->findChildren<XP::CSimpleTextWidget*>()) {
            labels.append(label->getText());
        }
        QVERIFY(labels.contains(QStringLiteral("交易日数据文件: ")));
        auto* mask = dialog->findChild<XP::CLoadingMaskWidget*>();
        QVERIFY(mask);
        QCOMPARE(mask->text(), QStringLiteral("正在上传数据..."));
        QVERIFY(!mask->isVisible());
    }

    void uploadWithoutAFile()
    {
        click(402);
        expectNotice(QStringLiteral("未选择文件"));
        QVERIFY(page->events.isEmpty());
        QVERIFY(dialog->isVisible());
    }

    void pickerFillsThePathAndCancellingEmptiesIt()
    {
        const QString file = testFile("dates.xlsx");
        tds::CModalDriver driver;
        QString caption;
        QStringList filters;
        driver.arm([&](QWidget* modal) {
            auto* picker = qobject_cast<QFileDialog*>(modal);
            QVERIFY(picker);
            caption = picker->windowTitle();
            filters = picker->nameFilters();
            picker->selectFile(file);
            QMetaObject::invokeMethod(picker, "accept");
        });
        click(401);
        QCOMPARE(driver.handledCount(), 1);
        QCOMPARE(caption, QStringLiteral("选择文件"));
        QCOMPARE(filters, QStringList{QStringLiteral("所有文件(*.*)")});
        QCOMPARE(pathEdit()->text(), file);

        driver.arm([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        click(401);
        QCOMPARE(driver.handledCount(), 2);
        QVERIFY(pathEdit()->text().isEmpty());
        click(402);
        expectNotice(QStringLiteral("未选择文件"));
        QVERIFY(page->events.isEmpty());
    }

    void textFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("empty") << "days.csv" << QByteArray() << QString() << QStringList();
        QTest::newRow("header without a line break")
            << "days.csv" << QByteArray("日期,是否交易日") << QString() << QStringList();
        QTest::newRow("header with a line break")
            << "days.csv" << QByteArray("日期,是否交易日\n") << "第 2 行文件格式错误" << QStringList();
        QTest::newRow("final line break") << "days.csv" << QByteArray("h\n2024-01-02,1\n2024-01-03,1\n")
                                          << "第 4 行文件格式错误" << QStringList();
        QTest::newRow("0 skipped, duplicate kept once")
            << "days.txt" << QByteArray("h\n2024-01-02,0\n2024-01-03,1\n2024-01-03,1\n2024-01-04,1")
            << QString() << QStringList{"2024-01-03", "2024-01-04"};
        QTest::newRow("gbk with crlf")
            << "days.csv" << QString("日期,是否交易日\r\n2024-01-02,1\r\n2024-01-03,0").toLocal8Bit()
            << QString() << QStringList{"2024-01-02"};
        QTest::newRow("upper-case XLSX is text")
            << "days.XLSX" << QByteArray("h\n2024-01-02,1") << QString() << QStringList{"2024-01-02"};
        QTest::newRow("complete suffix days.xlsx is text")
            << "2024.days.xlsx" << QByteArray("h\n2024-01-02,1") << QString() << QStringList{"2024-01-02"};
    }

    void textFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, notice);
        QFETCH(QStringList, dates);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        upload(file.fileName());
        if (notice.isEmpty()) {
            expectHandOver(dates);
        } else {
            expectNotice(notice);
            QVERIFY(page->events.isEmpty());
            QVERIFY(dialog->isVisible());
        }
    }

    void workbooks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("xlsx") << "dates.xlsx" << QString()
                              << QStringList{"2024-01-02", "2024-02-29", "2100-03-01"};
        QTest::newRow("xls") << "dates.xls" << QString() << QStringList{"2024-01-02", "2100-03-01"};
        QTest::newRow("header only") << "header_only.xlsx" << QString() << QStringList();
        QTest::newRow("three used columns") << "three_columns.xlsx"
                                            << "第 2 行文件格式错误" << QStringList();
    }

    void workbooks()
    {
        QFETCH(QString, file);
        QFETCH(QString, notice);
        QFETCH(QStringList, dates);
        upload(testFile(file));
        if (notice.isEmpty()) {
            expectHandOver(dates);
        } else {
            expectNotice(notice);
            QVERIFY(page->events.isEmpty());
        }
    }

    void badInputKeepsTheLastRecords_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name : {"bomb.xlsx", "liar.xlsx", "truncated.xlsx", "corrupt.xlsx", "dtd.xlsx",
                                 "password.xls", "garbage.xls", "empty.xlsx", "text.xlsx"}) {
            QTest::newRow(name) << testFile(QString::fromLatin1(name));
        }
    }

    void badInputKeepsTheLastRecords()
    {
        QFETCH(QString, file);
        upload(testFile("dates.xls"));
        expectHandOver({"2024-01-02", "2100-03-01"});
        page->events.clear();
        dialog->show();
        qputenv("TDS_SOFFICE", "/nonexistent/soffice");
        upload(file);
        expectNotice(QStringLiteral("文件打开失败"));
        QVERIFY(page->events.isEmpty());
        QCOMPARE(keysOf(dialog->getTradeDateMap()), QStringList({"2024-01-02", "2100-03-01"}));
    }

    void largeTextFiles()
    {
        QTemporaryDir dir;
        QFile big(dir.filePath(QStringLiteral("big.csv")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        const QByteArray line("2024-01-02,1,not-two-fields\n");
        QByteArray block;
        for (int i = 0; i < 4096; ++i) {
            block += line;
        }
        for (qint64 written = 0; written < 50LL * 1024 * 1024; written += block.size()) {
            big.write(block);
        }
        big.close();
        upload(big.fileName());
        expectNotice(QStringLiteral("第 2 行文件格式错误"));

        QFile huge(dir.filePath(QStringLiteral("huge.csv")));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(300LL * 1024 * 1024));
        huge.close();
        upload(huge.fileName());
        expectNotice(QStringLiteral("文件打开失败"));
        QVERIFY(page->events.isEmpty());
    }

    void spreadsheetApplicationReadsTheRest()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) {
            QSKIP("LibreOffice is not installed");
        }
        upload(testFile("ods_as.xlsx"));
        expectHandOver({"2024-01-02"});
    }

    void runsModallyAndCloses()
    {
        dialog->hide();
        tds::CModalDriver driver;
        driver.arm([this](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(dialog));
            pathEdit()->setText(testFile("dates.xlsx"));
            click(402);
        });
        dialog->exec();
        QCOMPARE(driver.handledCount(), 1);
        QCOMPARE(page->events.size(), 1);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(pathEdit()->text(), testFile("dates.xlsx"));

        tds::CModalDriver closer; // a fresh driver: the first one remembers this dialog as handled
        closer.arm([this](QWidget*) { click(403); });
        QCOMPARE(dialog->exec(), 1);
        QCOMPARE(page->events.size(), 1);
        QCOMPARE(dialog->getTradeDateMap().size(), std::size_t(3));
    }

    void frameCloseCancels()
    {
        QVERIFY(dialog->closeButton());
        QTest::mouseClick(dialog->closeButton(), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(page->events.isEmpty());
    }

    void paintsTheRuleOnlyWhenAsked()
    {
        const QPoint corner(156, 97);
        const QColor rule(219, 219, 219);
        dialog->setShowRule(1);
        QCOMPARE(dialog->grab().toImage().pixelColor(corner), rule);
        dialog->setShowRule(0);
        QVERIFY(dialog->grab().toImage().pixelColor(corner) != rule);
    }

private:
    XP::CSmallNormalButton* button(int id) const
    {
        for (auto* control : dialog->findChildren<XP::CSmallNormalButton*>()) {
            if (control->id() == id) {
                return control;
            }
        }
        return nullptr;
    }

    IMC::CSafeLineEdit* pathEdit() const { return dialog->findChild<IMC::CSafeLineEdit*>(); }

    void click(int id)
    {
        XP::CSmallNormalButton* control = button(id);
        QVERIFY(control);
        QTest::mouseClick(control, Qt::LeftButton);
    }

    void upload(const QString& path)
    {
        pathEdit()->setText(path);
        click(402);
    }

    void expectNotice(const QString& text)
    {
        const QList<XP::CMessageBoxCall> calls = XP::CMessageBoxScript::calls();
        QVERIFY(!calls.isEmpty());
        const XP::CMessageBoxCall& call = calls.last();
        QCOMPARE(call.kind, QStringLiteral("information"));
        QCOMPARE(call.title, QStringLiteral("提示"));
        QCOMPARE(call.text, text);
        QCOMPARE(call.parent.data(), static_cast<QWidget*>(dialog));
        QCOMPARE(call.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void expectHandOver(const QStringList& dates)
    {
        QVERIFY(XP::CMessageBoxScript::calls().isEmpty());
        QCOMPARE(page->events,
                 QList<QList<int>>({{CSystemTradingDayUploadingDialog::uploadedEventType, 0, 0, 1}}));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(keysOf(dialog->getTradeDateMap()), dates);
    }

    COwnerPage* page = nullptr;
    CSystemTradingDayUploadingDialog* dialog = nullptr;
};

QTEST_MAIN(TestUploadingDialog)
#include "tst_uploadingdialog.moc"
