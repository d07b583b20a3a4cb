#pragma once

#include "records/CItsmInstrumentDetailInfo.h"
#include "records/IData.h"

#include <boost/shared_ptr.hpp>

namespace ttservice {

// Instrument detail record; detail may be null.
class CItsmInstrumentDetail : public IData
{
public:
    boost::shared_ptr<CItsmInstrumentDetailInfo> detail;

    const char* getStructDes() const override;
    // Copies the detail structure as well.
    boost::shared_ptr<IData> copy() const override;
    void toStream(std::ostream& out) const override;
    void toLogStream(std::ostream& out) const override;
    void appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const override;
    std::string getHashKey() const override;
    bool isEqual(const IData& other) const override;
};

} // namespace ttservice
