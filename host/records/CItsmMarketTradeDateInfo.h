#pragma once

#include "records/IData.h"

#include <string>

namespace ttservice {

// One trading day. sessionFlags: bit 0 (1) day session, bit 1 (2) night session.
class CItsmMarketTradeDateInfo : public IData
{
public:
    std::string date;
    int sessionFlags = 0;
    bool valid = false;
    std::string description;
    std::string tradeDate;

    const char* getStructDes() const override;
    boost::shared_ptr<IData> copy() const override;
    void toStream(std::ostream& out) const override;
    void toLogStream(std::ostream& out) const override;
    void appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const override;
    std::string getHashKey() const override;
    bool isEqual(const IData& other) const override;
};

} // namespace ttservice
