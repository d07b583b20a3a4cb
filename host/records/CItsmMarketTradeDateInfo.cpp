#include "records/CItsmMarketTradeDateInfo.h"

#include <boost/make_shared.hpp>

namespace ttservice {

const char* CItsmMarketTradeDateInfo::getStructDes() const
{
    return "CItsmMarketTradeDateInfo{date:string,sessionFlags:int,valid:bool,description:string,tradeDate:"
           "string}";
}

boost::shared_ptr<IData> CItsmMarketTradeDateInfo::copy() const
{
    return boost::make_shared<CItsmMarketTradeDateInfo>(*this);
}

void CItsmMarketTradeDateInfo::toStream(std::ostream& out) const
{
    out << "CItsmMarketTradeDateInfo{date=" << date << ", sessionFlags=" << sessionFlags
        << ", valid=" << (valid ? "true" : "false") << ", description=" << description
        << ", tradeDate=" << tradeDate << "}";
}

void CItsmMarketTradeDateInfo::toLogStream(std::ostream& out) const
{
    out << date << "/" << sessionFlags;
}

void CItsmMarketTradeDateInfo::appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const
{
    document.append("date", date);
    document.append("sessionFlags", sessionFlags);
    document.append("valid", valid);
    document.append("description", description);
    document.append("tradeDate", tradeDate);
}

std::string CItsmMarketTradeDateInfo::getHashKey() const
{
    return date;
}

bool CItsmMarketTradeDateInfo::isEqual(const IData& other) const
{
    const auto* day = dynamic_cast<const CItsmMarketTradeDateInfo*>(&other);
    return day && day->date == date && day->sessionFlags == sessionFlags && day->valid == valid &&
           day->description == description && day->tradeDate == tradeDate;
}

} // namespace ttservice
