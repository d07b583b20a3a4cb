#include "TestGuards.h"

#include "records/CItsmInstrumentDetail.h"
#include "records/CItsmMarketTradeDateInfo.h"
#include "records/CItsmPlatformInfo.h"
#include "records/CItsmQueryDataReq.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "records/COperateDataReq.h"
#include "records/RecordFactory.h"

#include <QTest>

#include <boost/make_shared.hpp>

#include <sstream>

Q_DECLARE_METATYPE(boost::shared_ptr<ttservice::IData>)

namespace {

boost::shared_ptr<ttservice::CItsmMarketTradeDateInfo> makeDay(const std::string& date, int flags)
{
    auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
    day->date = date;
    day->sessionFlags = flags;
    day->valid = true;
    day->description = "交易日 " + date;
    day->tradeDate = date;
    return day;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> makeExchange()
{
    auto exchange = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    exchange->marketType = ttservice::EZR_MarketOverseas;
    exchange->exchangeName = "芝加哥商业交易所";
    exchange->exchangeCode = "CME";
    exchange->trackId = 3;
    exchange->tradeDates["2026-08-03"] = makeDay("2026-08-03", 1);
    exchange->tradeDates["2026-08-04"] = makeDay("2026-08-04", 3);
    return exchange;
}

boost::shared_ptr<ttservice::CItsmInstrumentDetail> makeInstrument()
{
    auto instrument = boost::make_shared<ttservice::CItsmInstrumentDetail>();
    instrument->detail = boost::make_shared<ttservice::CItsmInstrumentDetailInfo>();
    instrument->detail->instrumentCode = "GC";
    instrument->detail->instrumentName = "黄金期货";
    instrument->detail->exchangeName = "纽约商品交易所";
    instrument->detail->exchangeCode = "COMEX";
    return instrument;
}

std::string streamed(const ttservice::IData& record)
{
    std::ostringstream out;
    record.toStream(out);
    return out.str();
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void newRecordsHaveTheirDefaults()
    {
        ttservice::CItsmTypedMarketTradeDate typed;
        QCOMPARE(typed.trackId, -1);
        QVERIFY(typed.tradeDates.empty());
        QVERIFY(typed.exchangeName.empty());
        QCOMPARE(typed.getOffset(), -1);
        ttservice::CItsmInstrumentDetail instrument;
        QVERIFY(!instrument.detail);
    }

    void bsonRoundTrip_data()
    {
        QTest::addColumn<boost::shared_ptr<ttservice::IData>>("record");

        QTest::newRow("day") << boost::shared_ptr<ttservice::IData>(makeDay("2026-08-01", 3));
        QTest::newRow("exchange with days") << boost::shared_ptr<ttservice::IData>(makeExchange());
        QTest::newRow("empty market") << boost::shared_ptr<ttservice::IData>(
            boost::make_shared<ttservice::CItsmTypedMarketTradeDate>());
        auto query = boost::make_shared<ttservice::CItsmQueryDataReq>();
        query->dataType = 12306;
        query->marketParam = "3";
        query->platformParam = "14";
        QTest::newRow("query") << boost::shared_ptr<ttservice::IData>(query);
        auto operation = boost::make_shared<ttservice::COperateDataReq>();
        operation->dataType = 12306;
        operation->operation = 1;
        operation->platformParam = "WP";
        operation->records.push_back(makeExchange());
        QTest::newRow("operation") << boost::shared_ptr<ttservice::IData>(operation);
        auto platform = boost::make_shared<ttservice::CItsmPlatformInfo>();
        platform->platformId = 7;
        platform->platformName = "同业存单赛道";
        QTest::newRow("platform") << boost::shared_ptr<ttservice::IData>(platform);
        QTest::newRow("instrument") << boost::shared_ptr<ttservice::IData>(makeInstrument());
        QTest::newRow("instrument without detail")
            << boost::shared_ptr<ttservice::IData>(boost::make_shared<ttservice::CItsmInstrumentDetail>());
    }

    void bsonRoundTrip()
    {
        QFETCH(boost::shared_ptr<ttservice::IData>, record);
        bson::BSONObj document;
        record->toBsonWithBson(document);
        QVERIFY(!document.isEmpty());
        QCOMPARE(document.text("typeId"), record->typeId());

        boost::shared_ptr<ttservice::IData> readBack = ttservice::createRecordFromBson(document);
        QVERIFY(readBack);
        QVERIFY(readBack->isEqual(*record));
        QVERIFY(record->isEqual(*readBack));
        QCOMPARE(streamed(*readBack), streamed(*record));
    }

    void copyIsDeepAndEqual_data() { bsonRoundTrip_data(); }

    void copyIsDeepAndEqual()
    {
        QFETCH(boost::shared_ptr<ttservice::IData>, record);
        boost::shared_ptr<ttservice::IData> duplicate = record->copy();
        QVERIFY(duplicate != record);
        QVERIFY(duplicate->isEqual(*record));
        QCOMPARE(duplicate->getHashKey(), record->getHashKey());
        QCOMPARE(std::string(duplicate->getStructDes()), std::string(record->getStructDes()));
    }

    void typedCopySharesNoDay()
    {
        auto original = makeExchange();
        auto duplicate = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(original->copy());
        QVERIFY(duplicate);
        QVERIFY(duplicate->tradeDates.at("2026-08-03") != original->tradeDates.at("2026-08-03"));

        duplicate->tradeDates.at("2026-08-03")->sessionFlags = 2;
        QCOMPARE(original->tradeDates.at("2026-08-03")->sessionFlags, 1);
        QVERIFY(!duplicate->isEqual(*original));
    }

    void operationCopySharesNoRecord()
    {
        ttservice::COperateDataReq request;
        request.records.push_back(makeExchange());
        request.records.push_back(nullptr);
        auto duplicate = boost::dynamic_pointer_cast<ttservice::COperateDataReq>(request.copy());
        QVERIFY(duplicate);
        QCOMPARE(duplicate->records.size(), std::size_t(2));
        QVERIFY(duplicate->records[0] != request.records[0]);
        QVERIFY(!duplicate->records[1]);
        QVERIFY(duplicate->isEqual(request));

        boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(duplicate->records[0])->trackId = 9;
        QVERIFY(!duplicate->isEqual(request));
    }

    void instrumentCopySharesNoDetail()
    {
        auto original = makeInstrument();
        auto duplicate = boost::dynamic_pointer_cast<ttservice::CItsmInstrumentDetail>(original->copy());
        QVERIFY(duplicate->detail != original->detail);
        duplicate->detail->exchangeName = "芝加哥商业交易所";
        QCOMPARE(original->detail->exchangeName, std::string("纽约商品交易所"));
        QVERIFY(!duplicate->isEqual(*original));
    }

    void recordsOfDifferentTypesDiffer()
    {
        auto day = makeDay("2026-08-01", 3);
        auto exchange = makeExchange();
        ttservice::CItsmPlatformInfo platform;
        QVERIFY(!day->isEqual(*exchange));
        QVERIFY(!exchange->isEqual(*day));
        QVERIFY(!platform.isEqual(*day));
        QVERIFY(!makeInstrument()->isEqual(platform));
    }

    void equalityComparesEveryField_data()
    {
        QTest::addColumn<int>("field");
        QTest::newRow("date") << 0;
        QTest::newRow("sessionFlags") << 1;
        QTest::newRow("valid") << 2;
        QTest::newRow("description") << 3;
        QTest::newRow("tradeDate") << 4;
    }

    void equalityComparesEveryField()
    {
        QFETCH(int, field);
        auto day = makeDay("2026-08-01", 3);
        auto changed = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>(*day);
        switch (field) {
        case 0:
            changed->date = "2026-08-02";
            break;
        case 1:
            changed->sessionFlags = 1;
            break;
        case 2:
            changed->valid = false;
            break;
        case 3:
            changed->description = "交易日";
            break;
        default:
            changed->tradeDate = "2026-08-02";
            break;
        }
        QVERIFY(!changed->isEqual(*day));
        QVERIFY(!day->isEqual(*changed));
    }

    void readingRejectsForeignOrBrokenDocuments_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("other type id") << "typeId" << QVariant(QStringLiteral("CItsmPlatformInfo"));
        QTest::newRow("flags as text") << "sessionFlags" << QVariant(QStringLiteral("3"));
        QTest::newRow("date as number") << "date" << QVariant(20260801);
        QTest::newRow("valid missing") << "valid" << QVariant();
    }

    void readingRejectsForeignOrBrokenDocuments()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        bson::BSONObj document;
        makeDay("2026-08-01", 3)->toBsonWithBson(document);
        QVariantMap fields = document.toVariantMap();
        if (value.isValid()) {
            fields.insert(field, value);
        } else {
            fields.remove(field);
        }

        auto target = makeDay("2026-09-09", 1);
        const std::string before = streamed(*target);
        QVERIFY(!target->fromBsonWithBson(bson::BSONObj(fields)));
        QCOMPARE(streamed(*target), before);
        QVERIFY(!ttservice::createRecordFromBson(bson::BSONObj(fields)));
    }

    void brokenNestedDayRejectsTheWholeMarket()
    {
        bson::BSONObj document;
        makeExchange()->toBsonWithBson(document);
        QVariantMap fields = document.toVariantMap();
        QVariantList days = fields.value("tradeDates").toList();
        QVariantMap firstDay = days.first().toMap();
        QVariantMap firstValue = firstDay.value("value").toMap();
        firstValue.remove("tradeDate");
        firstDay.insert("value", firstValue);
        days[0] = firstDay;
        fields.insert("tradeDates", days);

        ttservice::CItsmTypedMarketTradeDate target;
        target.exchangeName = "keep";
        QVERIFY(!target.fromBsonWithBson(bson::BSONObj(fields)));
        QCOMPARE(target.exchangeName, std::string("keep"));
        QVERIFY(target.tradeDates.empty());
    }

    void unknownTypeIdMakesNoRecord()
    {
        bson::BSONObj document;
        document.append("typeId", std::string("CUnknownRecord"));
        QVERIFY(!ttservice::createRecordFromBson(document));
        QVERIFY(!ttservice::createRecordFromBson(bson::BSONObj()));
    }

    void textFormsNameTheValues()
    {
        auto exchange = makeExchange();
        const std::string text = streamed(*exchange);
        QVERIFY(text.find("芝加哥商业交易所") != std::string::npos);
        QVERIFY(text.find("2026-08-04") != std::string::npos);
        QVERIFY(text.find("trackId=3") != std::string::npos);
        QCOMPARE(ttservice::toText(*exchange), text);

        std::ostringstream log;
        exchange->toLogStream(log);
        QVERIFY(log.str().find("2 days") != std::string::npos);
        QVERIFY(std::string(exchange->getStructDes()).rfind("CItsmTypedMarketTradeDate{", 0) == 0);
    }

    void hashKeysIdentifyTheRecord()
    {
        QCOMPARE(makeDay("2026-08-01", 3)->getHashKey(), std::string("2026-08-01"));
        QCOMPARE(makeExchange()->getHashKey(), std::string("4/芝加哥商业交易所"));
        QCOMPARE(makeInstrument()->getHashKey(), std::string("COMEX/GC"));
    }

    void documentsCompareByContent()
    {
        bson::BSONObj first;
        bson::BSONObj second;
        QVERIFY(first.isEmpty());
        makeExchange()->toBsonWithBson(first);
        makeExchange()->toBsonWithBson(second);
        QVERIFY(first == second);
        second.append("trackId", 4);
        QVERIFY(first != second);
        QCOMPARE(first.object("tradeDates").size(), 0);
        int marketType = 0;
        QVERIFY(first.readInt("marketType", marketType));
        QCOMPARE(marketType, 4);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
