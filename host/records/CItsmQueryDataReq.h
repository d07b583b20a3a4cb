#pragma once

#include "records/IData.h"

#include <string>

namespace ttservice {

// Query request: data kind, market type as decimal text, platform parameter ("14", "15", "WP" or empty).
class CItsmQueryDataReq : public IData
{
public:
    int dataType = 0;
    std::string marketParam;
    std::string platformParam;

    const char* getStructDes() const override;
    boost::shared_ptr<IData> copy() const override;
    void toStream(std::ostream& out) const override;
    void toLogStream(std::ostream& out) const override;
    void appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const override;
    std::string getHashKey() const override;
    bool isEqual(const IData& other) const override;
};

} // namespace ttservice
