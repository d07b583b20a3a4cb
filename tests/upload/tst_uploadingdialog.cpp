#include "upload/CSystemTradingDayUploadingDialog.h"

#include "records/CItsmMarketTradeDateInfo.h"
#include "services/CMemoryTradingDayBackend.h"
#include "spreadsheet/CSheetReaderProcess.h"
#include "widgets/CEventWidgetT.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"

#include "CHostFixture.h"
#include "CModalDriver.h"
#include "TestGuards.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

using IMC::CSystemTradingDayUploadingDialog;
using tds::CHostFixture;

namespace {

QString testFile(const QString& name)
{
    return QStringLiteral(TDS_TEST_FILES "/") + name;
}

// Stands in for the calendar page: records the events its dialog delivers as "type,id,param,text,data".
class COwnerPage : public XP::CEventWidgetT<QWidget>
{
public:
    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        events
            << QStringLiteral("%1,%2,%3,%4,%5").arg(type).arg(id).arg(param).arg(text).arg(data != nullptr);
        return true;
    }
    QStringList events;
};

} // namespace

class TestUploadingDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        CHostFixture::start(std::make_shared<IMC::CMemoryTradingDayBackend>());
        page = new COwnerPage;
        dialog = new CSystemTradingDayUploadingDialog(page);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }

    void cleanup()
    {
        delete page;
        for (const char* variable : {"TDS_SOFFICE", "TDS_SHEET_READER", "TDS_SHEET_READER_FAULT"}) {
            qunsetenv(variable);
        }
        XP::CSheetReaderProcess::setLimits(normalLimits);
        QVERIFY(CHostFixture::finish());
    }

    void pickingAFileAndClosing()
    {
        QCOMPARE(dialog->title() + dialog->findChild<XP::CSimpleTextWidget*>()->getText(),
                 QStringLiteral("上传文件交易日数据文件: "));
        tds::CModalDriver driver;
        QString picker;
        driver.arm([&](QWidget* modal) {
            auto* files = qobject_cast<QFileDialog*>(modal);
            picker = files->windowTitle() + QLatin1Char('|') + files->nameFilters().join(QLatin1Char(';')) +
                     QLatin1Char('|') + QDir::current().relativeFilePath(files->directory().path());
            files->selectFile(testFile("dates.xlsx"));
            QMetaObject::invokeMethod(files, "accept");
        });
        click(QStringLiteral("浏览..."));
        QCOMPARE(picker, QStringLiteral("选择文件|所有文件(*.*)|."));
        QCOMPARE(pathEdit()->text(), testFile("dates.xlsx"));

        driver.arm([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        click(QStringLiteral("浏览..."));
        QVERIFY(pathEdit()->text().isEmpty());
        click(QStringLiteral("上传文件"));
        expectNotice(QStringLiteral("未选择文件"));

        dialog->hide();
        driver.arm([this](QWidget*) { click(QStringLiteral("关闭")); });
        QCOMPARE(dialog->exec(), 1);
        QCOMPARE(driver.handledCount(), 3);
    }

    // `file` names a test file, or a temporary file holding `content`; a second word names the program
    // that stands for the spreadsheet application. `expected` is the notice, if any, and after a "|" the
    // dates of the dialog's records. Each row follows a reading of dates.xls, whose days stay when the
    // file cannot be read at all.
    void upload_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        const QByteArray none;
        const QByteArray gbk = QTextCodec::codecForName("GBK")->fromUnicode(
            QStringLiteral("日期,是否交易日\r\n2024年1月2日,1\r\n2024-01-03,1\r\n2024-01-04,0"));
        const QString before = QStringLiteral("文件打开失败|2024-01-02 2100-03-01");
        QTextCodec::ConverterState noMark(QTextCodec::IgnoreHeader);
        const QString unicodeText = QStringLiteral("日期,是否交易日\r\n2024-01-02,1\r\n2024-01-03,1\r\n");
        const QByteArray utf16LeWithoutMark =
            QTextCodec::codecForName("UTF-16LE")
                ->fromUnicode(unicodeText.constData(), unicodeText.size(), &noMark);
        QTest::newRow("empty") << "days.csv" << QByteArray("") << QStringLiteral("|");
        QTest::newRow("header alone") << "days.csv" << QByteArray("日期,是否交易日") << QStringLiteral("|");
        QTest::newRow("header, line break")
            << "days.csv" << QByteArray("h\n") << QStringLiteral("第 2 行文件格式错误|");
        QTest::newRow("final line break") << "days.csv" << QByteArray("h\n2024-01-02,1\n2024-01-03,1\n")
                                          << QStringLiteral("第 4 行文件格式错误|2024-01-02 2024-01-03");
        QTest::newRow("three fields") << "days.txt" << QByteArray("a,b,c\n2024-01-02,1\n2024-01-03,1,x")
                                      << QStringLiteral("第 3 行文件格式错误|2024-01-02");
        QTest::newRow("only exactly 1")
            << "days.csv" << QByteArray("h\n1,0\n2, 1\n3,01\n4,\n5,1\r\n6,1\r\n5,1\n7,1\r")
            << QStringLiteral("|5 6");
        QTest::newRow("the date as it is")
            << "days" << QByteArray("h\n 2024/1/2,1\n,1") << QStringLiteral("|  2024/1/2");
        QTest::newRow("gbk") << "days.csv" << gbk << QStringLiteral("|2024-01-03 2024年1月2日");
        QTest::newRow("gb18030, four-byte character")
            << "days.csv"
            << QTextCodec::codecForName("GB18030")->fromUnicode(QStringLiteral("日期,标志\n𠀀日,1"))
            << QStringLiteral("|𠀀日");
        // Bytes that are neither UTF-8 nor clean GB18030 are read as UTF-8, each bad sequence as U+FFFD.
        QTest::newRow("latin-1")
            << "days.csv" << QStringLiteral("Date,Ouvré\n2024-01-02,1\nFérié,1\n2024-01-03,0").toLatin1()
            << QStringLiteral("|2024-01-02 F\uFFFDri\uFFFD");
        QTest::newRow("binary bytes")
            << "days.csv" << QByteArray("\x89PNG\r\n\xff\xd8\xff\xe0,1\n\x80\x81\xfe,1\n\x1a")
            << QStringLiteral("第 4 行文件格式错误|\uFFFD\uFFFD\uFFFD \uFFFD\uFFFD\uFFFD\uFFFD");
        QTest::newRow("utf-16le without byte order mark")
            << "days.txt" << utf16LeWithoutMark << QStringLiteral("第 4 行文件格式错误|");
        QTest::newRow("XLSX is text")
            << "days.XLSX" << QByteArray("h\n2024-01-02,1") << QStringLiteral("|2024-01-02");
        QTest::newRow("days.xlsx is text")
            << "2024.days.xlsx" << QByteArray("h\n1,1") << QStringLiteral("|1");
        QTest::newRow("missing text file") << "missing.csv" << none << before;
        QTest::newRow("xlsx") << "dates.xlsx" << none << QStringLiteral("|2024-01-02 2024-02-29 2100-03-01");
        QTest::newRow("xls") << "dates.xls" << none << QStringLiteral("|2024-01-02 2100-03-01");
        QTest::newRow("header row alone") << "header_only.xlsx" << none << QStringLiteral("|");
        QTest::newRow("three columns")
            << "three_columns.xlsx" << none << QStringLiteral("第 2 行文件格式错误|");
        QTest::newRow("application, B3 to a trading day")
            << "ods_as.xlsx" << none << QStringLiteral("|2024-01-02 2024-01-04");
        QTest::newRow("application, lines from the first used row")
            << "ods_comma.xlsx" << none << QStringLiteral("第 3 行文件格式错误|2024-01-02");
        QTest::newRow("no application") << "corrupt.xlsx /nonexistent/soffice" << none << before;
        QTest::newRow("application that fails") << "ods_as.xlsx /bin/true" << none << before;
    }

    void upload()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        upload(testFile("dates.xls"));
        expectHandOver();
        page->events.clear();
        dialog->show();
        QTemporaryDir dir;
        QString path = testFile(file.section(QLatin1Char(' '), 0, 0));
        if (!content.isNull()) {
            QFile written(path = dir.filePath(file));
            QVERIFY(written.open(QIODevice::WriteOnly) && written.write(content) == content.size());
        } else if (file.startsWith(QLatin1String("ods_")) && !QFile::exists(path)) {
            QSKIP("the test files were made without LibreOffice");
        }
        if (file.contains(QLatin1Char(' '))) {
            qputenv("TDS_SOFFICE", file.section(QLatin1Char(' '), 1).toLocal8Bit());
        }
        upload(path);
        const QString notice = expected.section(QLatin1Char('|'), 0, 0);
        if (notice.isEmpty()) {
            expectHandOver();
        } else {
            expectNotice(notice);
        }
        QCOMPARE(describe(dialog->getTradeDateMap()), expected.section(QLatin1Char('|'), 1));
    }

    // The workbook's parser fails as told, in the sheet reader helper: "文件打开失败", the days read before
    // stay and this process goes on. Without a fault the same helper reads the workbook.
    void aFailingWorkbookParserLosesNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("expected");
        const QString before = QStringLiteral("文件打开失败|2024-01-02 2100-03-01");
        for (const char* fault : {"crash", "hang", "memory", "truncate"}) {
            QTest::newRow(fault) << fault << before;
        }
        QTest::newRow("none") << "" << QStringLiteral("|2024-01-02 2024-02-29 2100-03-01");
    }
    void aFailingWorkbookParserLosesNothing()
    {
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        upload(testFile("dates.xls"));
        expectHandOver();
        page->events.clear();
        dialog->show();
        qputenv("TDS_SHEET_READER", TDS_FAULTY_SHEET_READER);
        qputenv("TDS_SHEET_READER_FAULT", fault.toLatin1());
        qputenv("TDS_SOFFICE", "/nonexistent/soffice");
        XP::CSheetReaderProcess::setLimits({2, 768LL << 20, 4000, normalLimits.maxAnswerBytes});
        upload(testFile("dates.xlsx"));
        if (fault.isEmpty()) {
            expectHandOver();
        } else {
            expectNotice(expected.section(QLatin1Char('|'), 0, 0));
        }
        QCOMPARE(describe(dialog->getTradeDateMap()), expected.section(QLatin1Char('|'), 1));
    }

private:
    IMC::CSafeLineEdit* pathEdit() const { return dialog->findChild<IMC::CSafeLineEdit*>(); }

    void click(const QString& text)
    {
        for (auto* button : dialog->findChildren<XP::CSmallNormalButton*>()) {
            if (button->text() == text) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        QFAIL(qPrintable(text));
    }

    void upload(const QString& path)
    {
        pathEdit()->setText(path);
        click(QStringLiteral("上传文件"));
    }

    void expectNotice(const QString& text)
    {
        QCOMPARE(CHostFixture::boxes(), QStringList{QStringLiteral("information|提示|") + text});
        QCOMPARE(XP::CMessageBoxScript::calls().first().parent.data(), static_cast<QWidget*>(dialog));
        QCOMPARE(XP::CMessageBoxScript::calls().first().buttons,
                 QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(page->events.isEmpty());
        QVERIFY(dialog->isVisible());
    }

    void expectHandOver()
    {
        QCOMPARE(CHostFixture::boxes(), QStringList());
        QCOMPARE(page->events, QStringList{"3029,0,0,,0"});
        QVERIFY(!dialog->isVisible());
    }

    // The dates of the records, after checking that each date is UTF-8 and its record a day-session trading
    // day of that date.
    static QString describe(const TradeDateMap& tradeDates)
    {
        QStringList dates;
        for (const auto& entry : tradeDates) {
            const auto& day = *entry.second;
            const bool made = QString::fromStdString(entry.first).toStdString() == entry.first &&
                              day.date == entry.first && day.tradeDate == entry.first && day.valid &&
                              day.sessionFlags == 1 && day.description == "交易日 " + entry.first;
            dates << QString::fromStdString(made ? entry.first : "bad record " + entry.first);
        }
        return dates.join(QLatin1Char(' '));
    }

    COwnerPage* page = nullptr;
    CSystemTradingDayUploadingDialog* dialog = nullptr;
    const XP::CSheetReaderProcess::Limits normalLimits = XP::CSheetReaderProcess::limits();
};

QTEST_MAIN(TestUploadingDialog)
#include "tst_uploadingdialog.moc"
