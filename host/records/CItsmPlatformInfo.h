#pragma once

#include "records/IData.h"

#include <string>

namespace ttservice {

// One track (platform) of a platform kind.
class CItsmPlatformInfo : public IData
{
public:
    std::string platformName;
    int platformId = -1;

    const char* getStructDes() const override;
    boost::shared_ptr<IData> copy() const override;
    void toStream(std::ostream& out) const override;
    void toLogStream(std::ostream& out) const override;
    void appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const override;
    std::string getHashKey() const override;
    bool isEqual(const IData& other) const override;
};

} // namespace ttservice
