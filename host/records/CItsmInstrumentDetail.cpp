#include "records/CItsmInstrumentDetail.h"

#include <boost/make_shared.hpp>

namespace ttservice {

const char* CItsmInstrumentDetail::getStructDes() const
{
    return "CItsmInstrumentDetail{detail:CItsmInstrumentDetailInfo{instrumentCode:string,instrumentName:"
           "string,"
           "exchangeName:string,exchangeCode:string}}";
}

boost::shared_ptr<IData> CItsmInstrumentDetail::copy() const
{
    auto duplicate = boost::make_shared<CItsmInstrumentDetail>(*this);
    if (detail) {
        duplicate->detail = boost::make_shared<CItsmInstrumentDetailInfo>(*detail);
    }
    return duplicate;
}

void CItsmInstrumentDetail::toStream(std::ostream& out) const
{
    out << "CItsmInstrumentDetail{";
    if (detail) {
        out << "instrumentCode=" << detail->instrumentCode << ", instrumentName=" << detail->instrumentName
            << ", exchangeName=" << detail->exchangeName << ", exchangeCode=" << detail->exchangeCode;
    } else {
        out << "null";
    }
    out << "}";
}

void CItsmInstrumentDetail::toLogStream(std::ostream& out) const
{
    out << (detail ? detail->exchangeCode + ":" + detail->instrumentCode : std::string("null"));
}

void CItsmInstrumentDetail::appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const
{
    if (!detail) {
        return;
    }
    bson::BSONObj detailDocument;
    detailDocument.append("instrumentCode", detail->instrumentCode);
    detailDocument.append("instrumentName", detail->instrumentName);
    detailDocument.append("exchangeName", detail->exchangeName);
    detailDocument.append("exchangeCode", detail->exchangeCode);
    document.append("detail", detailDocument);
}

std::string CItsmInstrumentDetail::getHashKey() const
{
    return detail ? detail->exchangeCode + "/" + detail->instrumentCode : std::string();
}

bool CItsmInstrumentDetail::isEqual(const IData& other) const
{
    const auto* instrument = dynamic_cast<const CItsmInstrumentDetail*>(&other);
    if (!instrument || !instrument->detail || !detail) {
        return instrument && !instrument->detail && !detail;
    }
    return *instrument->detail == *detail;
}

} // namespace ttservice
