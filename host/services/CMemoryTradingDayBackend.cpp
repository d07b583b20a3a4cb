#include "services/CMemoryTradingDayBackend.h"

#include "records/EZRMarketType.h"

#include <boost/make_shared.hpp>

#include <algorithm>

namespace IMC {

namespace {

const int FailureCode = -1;
const char* const OverseasPlatform = "WP";
const char* const FuturesPlatform = "14";
const char* const RatesPlatform = "15";

utils::TTError failure(const std::string& text)
{
    return utils::TTError(FailureCode, text);
}

TradeDateMap copyOf(const TradeDateMap& days)
{
    TradeDateMap copies;
    for (const auto& entry : days) {
        copies[entry.first] = entry.second
                                  ? boost::make_shared<ttservice::CItsmMarketTradeDateInfo>(*entry.second)
                                  : entry.second;
    }
    return copies;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
copyOf(const boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>& record)
{
    return boost::static_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record->copy());
}

bool parseMarketType(const std::string& text, int& marketType)
{
    static const std::vector<std::string> known = {"0", "1", "2", "3", "4"};
    const auto found = std::find(known.begin(), known.end(), text);
    if (found == known.end()) {
        return false;
    }
    marketType = static_cast<int>(found - known.begin());
    return true;
}

bool isTrackKind(const std::string& platformKind)
{
    return platformKind == FuturesPlatform || platformKind == RatesPlatform;
}

boost::shared_ptr<ttservice::CItsmPlatformInfo> makeTrack(int id, const std::string& name)
{
    auto track = boost::make_shared<ttservice::CItsmPlatformInfo>();
    track->platformId = id;
    track->platformName = name;
    return track;
}

boost::shared_ptr<ttservice::CItsmInstrumentDetail> makeInstrument(const std::string& exchangeCode,
                                                                   const std::string& exchangeName,
                                                                   const std::string& instrumentCode,
                                                                   const std::string& instrumentName)
{
    auto instrument = boost::make_shared<ttservice::CItsmInstrumentDetail>();
    instrument->detail = boost::make_shared<ttservice::CItsmInstrumentDetailInfo>();
    instrument->detail->instrumentCode = instrumentCode;
    instrument->detail->instrumentName = instrumentName;
    instrument->detail->exchangeName = exchangeName;
    instrument->detail->exchangeCode = exchangeCode;
    return instrument;
}

struct ExchangeSeed
{
    const char* code;
    const char* name;
    std::vector<std::pair<const char*, const char*>> instruments;
};

const std::vector<ExchangeSeed>& exchangeSeeds()
{
    static const std::vector<ExchangeSeed> seeds = {
        {"CME",
         "芝加哥商业交易所",
         {{"ES", "标普500指数期货"}, {"NQ", "纳斯达克100指数期货"}, {"6E", "欧元期货"}}},
        {"CBOT", "芝加哥期货交易所", {{"ZC", "玉米期货"}, {"ZS", "大豆期货"}, {"ZW", "小麦期货"}}},
        {"NYMEX", "纽约商业交易所", {{"CL", "轻质原油期货"}, {"NG", "天然气期货"}, {"HO", "取暖油期货"}}},
        {"COMEX", "纽约商品交易所", {{"GC", "黄金期货"}, {"SI", "白银期货"}, {"HG", "铜期货"}}},
        {"ICE", "洲际交易所", {{"B", "布伦特原油期货"}, {"KC", "咖啡期货"}, {"SB", "11号糖期货"}}},
        {"LME", "伦敦金属交易所", {{"CAD", "铜"}, {"AHD", "铝"}, {"ZSD", "锌"}}},
        {"SGX",
         "新加坡交易所",
         {{"FEF", "铁矿石期货"}, {"CN", "富时中国A50指数期货"}, {"NK", "日经225指数期货"}}},
        {"HKEX",
         "香港交易所",
         {{"HSI", "恒生指数期货"}, {"HHI", "恒生中国企业指数期货"}, {"MHI", "小型恒生指数期货"}}},
        {"Eurex",
         "欧洲期货交易所",
         {{"FDAX", "德国DAX指数期货"}, {"FESX", "欧洲斯托克50指数期货"}, {"FGBL", "德国国债期货"}}},
        {"OSE", "大阪交易所", {{"JNK", "日经225指数期货"}, {"JGB", "日本国债期货"}, {"JRU", "橡胶期货"}}},
    };
    return seeds;
}

} // namespace

CMemoryTradingDayBackend::CMemoryTradingDayBackend() = default;

CMemoryTradingDayBackend::~CMemoryTradingDayBackend() = default;

utils::TTError CMemoryTradingDayBackend::query(const ttservice::CItsmQueryDataReq& request,
                                               std::vector<boost::shared_ptr<ttservice::IData>>& records)
{
    std::lock_guard<std::mutex> lock(mutex);
    queries.push_back(request);
    if (auto pending = takePendingFailure()) {
        return *pending;
    }
    if (request.dataType != DataKindTradeDates) {
        return failure("不支持的数据类型: " + std::to_string(request.dataType));
    }
    int marketType = 0;
    if (!parseMarketType(request.marketParam, marketType)) {
        return failure("不支持的市场类型: " + request.marketParam);
    }
    MarketKey key;
    const utils::TTError keyError = marketKeyOf(marketType, request.platformParam, key);
    if (!keyError.isSuccess()) {
        return keyError;
    }
    if (marketType == ttservice::EZR_MarketOverseas) {
        for (const auto& exchange : exchanges) {
            records.push_back(copyOf(exchange));
        }
        return {};
    }
    auto typed = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    typed->marketType = marketType;
    const auto market = markets.find(key);
    if (market != markets.end()) {
        typed->tradeDates = copyOf(market->second);
    }
    records.push_back(typed);
    return {};
}

utils::TTError CMemoryTradingDayBackend::operate(const ttservice::COperateDataReq& request,
                                                 const std::string& operatorName)
{
    std::lock_guard<std::mutex> lock(mutex);
    operations.push_back(
        {boost::static_pointer_cast<ttservice::COperateDataReq>(request.copy()), operatorName});
    if (auto pending = takePendingFailure()) {
        return *pending;
    }
    if (request.dataType != DataKindTradeDates) {
        return failure("不支持的数据类型: " + std::to_string(request.dataType));
    }
    if (request.operation != OperationSave && request.operation != OperationDelete) {
        return failure("不支持的操作类型: " + std::to_string(request.operation));
    }
    if (request.records.empty()) {
        return failure("操作请求中没有记录");
    }
    if (request.records.size() > 1) {
        return failure("操作请求只能包含一条记录");
    }
    auto record = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(request.records.front());
    if (!record) {
        return failure("操作请求中的记录不是市场交易日记录");
    }
    for (const auto& day : record->tradeDates) {
        if (!day.second) {
            return failure("交易日 " + day.first + " 的记录为空");
        }
    }
    if (request.operation == OperationDelete) {
        if (record->marketType != ttservice::EZR_MarketOverseas) {
            return failure("只能删除境外交易所");
        }
        if (request.platformParam != OverseasPlatform) {
            return failure("境外市场的平台参数应为 WP, 收到: " + request.platformParam);
        }
        return deleteExchange(*record);
    }
    if (record->marketType == ttservice::EZR_MarketOverseas) {
        if (request.platformParam != OverseasPlatform) {
            return failure("境外市场的平台参数应为 WP, 收到: " + request.platformParam);
        }
        return saveExchange(*record);
    }
    return saveMarket(*record, request.platformParam);
}

utils::TTError
CMemoryTradingDayBackend::queryReference(int dataKind, const std::string& queryParam,
                                         std::vector<boost::shared_ptr<ttservice::IData>>& records)
{
    std::lock_guard<std::mutex> lock(mutex);
    referenceQueries.push_back({dataKind, queryParam});
    if (auto pending = takePendingFailure()) {
        return *pending;
    }
    if (dataKind == DataKindTracks) {
        if (!isTrackKind(queryParam)) {
            return failure("不支持的赛道平台类型: " + queryParam);
        }
        for (const auto& track : tracks[queryParam]) {
            records.push_back(track->copy());
        }
        return {};
    }
    if (dataKind == DataKindInstruments) {
        for (const auto& instrument : instruments) {
            records.push_back(instrument->copy());
        }
        return {};
    }
    return failure("不支持的数据类型: " + std::to_string(dataKind));
}

void CMemoryTradingDayBackend::seedReferenceData()
{
    setTracks(FuturesPlatform, {makeTrack(1, "能源化工赛道"), makeTrack(2, "有色金属赛道"),
                                makeTrack(3, "农产品赛道"), makeTrack(4, "贵金属赛道")});
    setTracks(RatesPlatform,
              {makeTrack(5, "国债期货赛道"), makeTrack(6, "利率互换赛道"), makeTrack(7, "同业存单赛道")});
    std::vector<boost::shared_ptr<ttservice::CItsmInstrumentDetail>> seeded;
    for (const ExchangeSeed& exchange : exchangeSeeds()) {
        for (const auto& instrument : exchange.instruments) {
            seeded.push_back(
                makeInstrument(exchange.code, exchange.name, instrument.first, instrument.second));
        }
    }
    setInstruments(seeded);
}

void CMemoryTradingDayBackend::setMarketDays(int marketType, const TradeDateMap& days,
                                             const std::string& platformParam)
{
    std::lock_guard<std::mutex> lock(mutex);
    MarketKey key;
    if (marketType != ttservice::EZR_MarketOverseas &&
        marketKeyOf(marketType, platformParam, key).isSuccess()) {
        markets[key] = copyOf(days);
    }
}

TradeDateMap CMemoryTradingDayBackend::marketDays(int marketType, const std::string& platformParam) const
{
    std::lock_guard<std::mutex> lock(mutex);
    MarketKey key;
    if (!marketKeyOf(marketType, platformParam, key).isSuccess()) {
        return {};
    }
    const auto market = markets.find(key);
    return market == markets.end() ? TradeDateMap() : copyOf(market->second);
}

void CMemoryTradingDayBackend::setTypedRecords(
    const std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>>& exchanges)
{
    std::lock_guard<std::mutex> lock(mutex);
    this->exchanges.clear();
    for (const auto& exchange : exchanges) {
        if (exchange) {
            this->exchanges.push_back(copyOf(exchange));
        }
    }
}

void CMemoryTradingDayBackend::setTracks(
    const std::string& platformKind,
    const std::vector<boost::shared_ptr<ttservice::CItsmPlatformInfo>>& tracks)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto& stored = this->tracks[platformKind];
    stored.clear();
    for (const auto& track : tracks) {
        if (track) {
            stored.push_back(boost::static_pointer_cast<ttservice::CItsmPlatformInfo>(track->copy()));
        }
    }
}

void CMemoryTradingDayBackend::setInstruments(
    const std::vector<boost::shared_ptr<ttservice::CItsmInstrumentDetail>>& instruments)
{
    std::lock_guard<std::mutex> lock(mutex);
    this->instruments.clear();
    for (const auto& instrument : instruments) {
        if (instrument) {
            this->instruments.push_back(
                boost::static_pointer_cast<ttservice::CItsmInstrumentDetail>(instrument->copy()));
        }
    }
}

void CMemoryTradingDayBackend::failNext(const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex);
    pendingFailure = text;
}

std::vector<ttservice::CItsmQueryDataReq> CMemoryTradingDayBackend::receivedQueries() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return queries;
}

std::vector<CReceivedOperation> CMemoryTradingDayBackend::receivedOperations() const
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<CReceivedOperation> copies;
    for (const CReceivedOperation& operation : operations) {
        copies.push_back({boost::static_pointer_cast<ttservice::COperateDataReq>(operation.request->copy()),
                          operation.operatorName});
    }
    return copies;
}

std::vector<CReceivedReferenceQuery> CMemoryTradingDayBackend::receivedReferenceQueries() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return referenceQueries;
}

void CMemoryTradingDayBackend::clearReceived()
{
    std::lock_guard<std::mutex> lock(mutex);
    queries.clear();
    operations.clear();
    referenceQueries.clear();
}

boost::optional<utils::TTError> CMemoryTradingDayBackend::takePendingFailure()
{
    if (!pendingFailure) {
        return boost::none;
    }
    const utils::TTError error = failure(*pendingFailure);
    pendingFailure = boost::none;
    return error;
}

utils::TTError CMemoryTradingDayBackend::marketKeyOf(int marketType, const std::string& platformParam,
                                                     MarketKey& key) const
{
    switch (marketType) {
    case ttservice::EZR_MarketDomestic:
    case ttservice::EZR_MarketHKConnect:
    case ttservice::EZR_MarketReserved:
        key = MarketKey(marketType, std::string());
        return {};
    case ttservice::EZR_MarketElectronic:
        if (!isTrackKind(platformParam)) {
            return failure("电子盘市场需要平台参数 14 或 15, 收到: " + platformParam);
        }
        key = MarketKey(marketType, platformParam);
        return {};
    case ttservice::EZR_MarketOverseas:
        if (platformParam != OverseasPlatform) {
            return failure("境外市场的平台参数应为 WP, 收到: " + platformParam);
        }
        key = MarketKey(marketType, platformParam);
        return {};
    default:
        return failure("不支持的市场类型: " + std::to_string(marketType));
    }
}

utils::TTError CMemoryTradingDayBackend::saveMarket(const ttservice::CItsmTypedMarketTradeDate& record,
                                                    const std::string& platformParam)
{
    MarketKey key;
    const utils::TTError keyError = marketKeyOf(record.marketType, platformParam, key);
    if (keyError.isSuccess()) {
        markets[key] = copyOf(record.tradeDates);
    }
    return keyError;
}

utils::TTError CMemoryTradingDayBackend::saveExchange(const ttservice::CItsmTypedMarketTradeDate& record)
{
    if (record.exchangeName.empty()) {
        return failure("交易所名称不能为空");
    }
    auto saved = boost::static_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record.copy());
    const auto existing = std::find_if(exchanges.begin(), exchanges.end(), [&record](const auto& exchange) {
        return exchange->exchangeName == record.exchangeName;
    });
    if (existing == exchanges.end()) {
        exchanges.push_back(saved);
    } else {
        *existing = saved;
    }
    return {};
}

utils::TTError CMemoryTradingDayBackend::deleteExchange(const ttservice::CItsmTypedMarketTradeDate& record)
{
    const auto existing = std::find_if(exchanges.begin(), exchanges.end(), [&record](const auto& exchange) {
        return exchange->exchangeName == record.exchangeName;
    });
    if (existing == exchanges.end()) {
        return failure("交易所 " + record.exchangeName + " 不存在");
    }
    exchanges.erase(existing);
    return {};
}

} // namespace IMC
