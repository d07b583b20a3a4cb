#pragma once

#include "records/CItsmMarketTradeDateInfo.h"
#include "records/EZRMarketType.h"
#include "records/IData.h"
#include "records/TradeDateMap.h"

#include <string>

namespace ttservice {

// The trading days of one market type, or of one overseas exchange (market type 4, with its name,
// code and track id).
class CItsmTypedMarketTradeDate : public IData
{
public:
    int marketType = EZR_MarketDomestic;
    TradeDateMap tradeDates;
    std::string exchangeName;
    std::string exchangeCode;
    int trackId = -1;

    const char* getStructDes() const override;
    // Copies every day record as well.
    boost::shared_ptr<IData> copy() const override;
    void toStream(std::ostream& out) const override;
    void toLogStream(std::ostream& out) const override;
    void appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const override;
    std::string getHashKey() const override;
    bool isEqual(const IData& other) const override;
};

} // namespace ttservice
