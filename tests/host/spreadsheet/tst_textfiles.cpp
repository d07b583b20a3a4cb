#include "utils/FileHelper.h"
#include "utils/GbkConversion.h"

#include "TestGuards.h"

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

std::string bytes(const QByteArray& data)
{
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

std::string gbk(const QString& text)
{
    return bytes(QTextCodec::codecForName("GBK")->fromUnicode(text));
}

std::string utf8(const QString& text)
{
    return text.toStdString();
}

} // namespace

class TestTextFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void detection_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("needsConversion");
        QTest::newRow("ascii") << QByteArray("2024-01-02,1\n") << false;
        QTest::newRow("utf-8") << QString("日期,标志").toUtf8() << false;
        QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF") + QString("日期").toUtf8() << false;
        QTest::newRow("gbk") << QByteArray::fromStdString(gbk("日期,是否交易日")) << true;
        QTest::newRow("gbk that looks like utf-8 to a lenient check")
            << QByteArray::fromStdString(gbk("联通")) << true;
        QTest::newRow("utf-16le with bom") << QByteArray("\xFF\xFE"
                                                         "a\0",
                                                         4)
                                           << true;
        QTest::newRow("overlong utf-8") << QByteArray("\xC0\xAF") << true;
        QTest::newRow("utf-8 surrogate") << QByteArray("\xED\xA0\x80") << true;
        QTest::newRow("cut utf-8 sequence") << QString("日").toUtf8().left(2) << true;
    }

    void detection()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, needsConversion);
        QCOMPARE(utils::isGBKCode(bytes(content)), needsConversion);
    }

    void conversionToUtf8_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("gbk") << QByteArray::fromStdString(gbk("日期,是否交易日\n2024-01-02,1"))
                             << "日期,是否交易日\n2024-01-02,1";
        QTest::newRow("gb18030 four-byte character")
            << QTextCodec::codecForName("GB18030")->fromUnicode(QString::fromUtf8("𠀀,1")) << "𠀀,1";
        QTest::newRow("utf-8 bom removed") << QByteArray("\xEF\xBB\xBF"
                                                         "a,1")
                                           << "a,1";
        QTest::newRow("utf-16le with crlf")
            << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(u"日,1\r\nx"), 12)
            << "日,1\nx";
    }

    void conversionToUtf8()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        std::string text = bytes(content);
        QVERIFY(utils::safeGbk2Utf8(text));
        QCOMPARE(QString::fromStdString(text), expected);
    }

    void undecodableBytesAreLeftAlone()
    {
        std::string text("\x81\x20 broken");
        QVERIFY(!utils::safeGbk2Utf8(text));
        QCOMPARE(text, std::string("\x81\x20 broken"));
        std::string oddUtf16("\xFF\xFE"
                             "abc");
        QVERIFY(!utils::safeGbk2Utf8(oddUtf16));
    }

    void pathsToGbkAndBack()
    {
        std::string path = utf8("交易日.csv");
        QVERIFY(utils::safeUtf82GbkOrigin(path));
        QCOMPARE(path, gbk("交易日.csv"));
        std::string notUtf8("\xC0\xAF");
        QVERIFY(!utils::safeUtf82GbkOrigin(notUtf8));
        QCOMPARE(notUtf8, std::string("\xC0\xAF"));
    }

    void openReadsWholeFilesAndNormalizesLineBreaks()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("交易日.csv"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a,1\r\nb,0\r\n\rc\r\r\n");
        file.close();
        std::string content("stale");
        QVERIFY(utils::FileHelper::open(utf8(name), content));
        QCOMPARE(content, std::string("a,1\nb,0\n\rc\r\n"));
        std::string gbkPath = utf8(name);
        QVERIFY(utils::safeUtf82GbkOrigin(gbkPath));
        content.clear();
        QVERIFY(utils::FileHelper::open(gbkPath, content));
        QCOMPARE(content, std::string("a,1\nb,0\n\rc\r\n"));
    }

    void lineBreaksAcrossReadPieces()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("long.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        // A CR LF pair on every boundary of the pieces a large file is read in, and a lone CR at the end.
        const QByteArray piece = QByteArray(256 * 1024 - 1, 'a') + "\r\n";
        file.write(piece + piece + piece + "\r");
        file.close();
        std::string content;
        QVERIFY(utils::FileHelper::open(utf8(file.fileName()), content));
        const std::string line = std::string(256 * 1024 - 1, 'a') + "\n";
        QCOMPARE(content, line + line + line + "\r");
    }

    void openFailsOnMissingAndOversizedFiles()
    {
        QTemporaryDir dir;
        std::string content("stale");
        QVERIFY(!utils::FileHelper::open(utf8(dir.filePath("missing.csv")), content));
        QVERIFY(content.empty());
        QFile sparse(dir.filePath(QStringLiteral("huge.csv")));
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        QVERIFY(sparse.resize(utils::FileHelper::maxFileSize + 1));
        sparse.close();
        content = "stale";
        QVERIFY(!utils::FileHelper::open(utf8(sparse.fileName()), content));
        QVERIFY(content.empty());
        QVERIFY(!utils::FileHelper::open(utf8(dir.path()), content));
    }
};

QTEST_GUILESS_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
