#include "records/RecordFactory.h"

#include "records/CItsmInstrumentDetail.h"
#include "records/CItsmMarketTradeDateInfo.h"
#include "records/CItsmPlatformInfo.h"
#include "records/CItsmQueryDataReq.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "records/COperateDataReq.h"

#include <boost/make_shared.hpp>

namespace ttservice {

namespace {

boost::shared_ptr<IData> createEmptyRecord(const std::string& typeId)
{
    if (typeId == "CItsmMarketTradeDateInfo") {
        return boost::make_shared<CItsmMarketTradeDateInfo>();
    }
    if (typeId == "CItsmTypedMarketTradeDate") {
        return boost::make_shared<CItsmTypedMarketTradeDate>();
    }
    if (typeId == "CItsmQueryDataReq") {
        return boost::make_shared<CItsmQueryDataReq>();
    }
    if (typeId == "COperateDataReq") {
        return boost::make_shared<COperateDataReq>();
    }
    if (typeId == "CItsmPlatformInfo") {
        return boost::make_shared<CItsmPlatformInfo>();
    }
    if (typeId == "CItsmInstrumentDetail") {
        return boost::make_shared<CItsmInstrumentDetail>();
    }
    return {};
}

} // namespace

boost::shared_ptr<IData> createRecordFromBson(const bson::BSONObj& document)
{
    boost::shared_ptr<IData> record = createEmptyRecord(document.text("typeId"));
    if (!record || !record->fromBsonWithBson(document)) {
        return {};
    }
    return record;
}

} // namespace ttservice
