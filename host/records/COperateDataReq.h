#pragma once

#include "records/IData.h"

#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

namespace ttservice {

// Operation request: data kind, operation (1 save, 3 delete), the records it carries and the
// platform parameter.
class COperateDataReq : public IData
{
public:
    int dataType = 0;
    int operation = 0;
    std::vector<boost::shared_ptr<IData>> records;
    std::string platformParam;

    const char* getStructDes() const override;
    // Copies the carried records as well; a null record stays null.
    boost::shared_ptr<IData> copy() const override;
    void toStream(std::ostream& out) const override;
    void toLogStream(std::ostream& out) const override;
    // Carried records are written as nested documents with their type id, keyed "0", "1"...
    void appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const override;
    std::string getHashKey() const override;
    bool isEqual(const IData& other) const override;
};

} // namespace ttservice
