#include "records/CItsmTypedMarketTradeDate.h"

#include <boost/make_shared.hpp>

#include <algorithm>

namespace ttservice {

namespace {

bool sameDay(const boost::shared_ptr<CItsmMarketTradeDateInfo>& left,
             const boost::shared_ptr<CItsmMarketTradeDateInfo>& right)
{
    if (!left || !right) {
        return !left && !right;
    }
    return left->isEqual(*right);
}

} // namespace

const char* CItsmTypedMarketTradeDate::getStructDes() const
{
    return "CItsmTypedMarketTradeDate{marketType:int,tradeDates:map<string,CItsmMarketTradeDateInfo>,"
           "exchangeName:string,exchangeCode:string,trackId:int}";
}

boost::shared_ptr<IData> CItsmTypedMarketTradeDate::copy() const
{
    auto duplicate = boost::make_shared<CItsmTypedMarketTradeDate>(*this);
    for (auto& entry : duplicate->tradeDates) {
        if (entry.second) {
            entry.second = boost::make_shared<CItsmMarketTradeDateInfo>(*entry.second);
        }
    }
    return duplicate;
}

void CItsmTypedMarketTradeDate::toStream(std::ostream& out) const
{
    out << "CItsmTypedMarketTradeDate{marketType=" << marketType << ", exchangeName=" << exchangeName
        << ", exchangeCode=" << exchangeCode << ", trackId=" << trackId << ", tradeDates=[";
    bool first = true;
    for (const auto& entry : tradeDates) {
        out << (first ? "" : ", ") << entry.first << ":";
        if (entry.second) {
            entry.second->toStream(out);
        } else {
            out << "null";
        }
        first = false;
    }
    out << "]}";
}

void CItsmTypedMarketTradeDate::toLogStream(std::ostream& out) const
{
    out << "market " << marketType;
    if (!exchangeName.empty()) {
        out << " " << exchangeName << "(" << exchangeCode << ") track " << trackId;
    }
    out << ", " << tradeDates.size() << " days";
}

void CItsmTypedMarketTradeDate::appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const
{
    bson::BSONObj days;
    for (const auto& entry : tradeDates) {
        bson::BSONObj day;
        if (entry.second) {
            entry.second->toBsonWithBson(day);
        }
        days.append(entry.first, day);
    }
    document.append("marketType", marketType);
    document.append("tradeDates", days);
    document.append("exchangeName", exchangeName);
    document.append("exchangeCode", exchangeCode);
    document.append("trackId", trackId);
}

std::string CItsmTypedMarketTradeDate::getHashKey() const
{
    return std::to_string(marketType) + "/" + exchangeName;
}

bool CItsmTypedMarketTradeDate::isEqual(const IData& other) const
{
    const auto* typed = dynamic_cast<const CItsmTypedMarketTradeDate*>(&other);
    if (!typed || typed->marketType != marketType || typed->exchangeName != exchangeName ||
        typed->exchangeCode != exchangeCode || typed->trackId != trackId ||
        typed->tradeDates.size() != tradeDates.size()) {
        return false;
    }
    return std::equal(tradeDates.begin(), tradeDates.end(), typed->tradeDates.begin(),
                      [](const auto& left, const auto& right) {
                          return left.first == right.first && sameDay(left.second, right.second);
                      });
}

} // namespace ttservice
