#include "records/CItsmQueryDataReq.h"

#include <boost/make_shared.hpp>

namespace ttservice {

const char* CItsmQueryDataReq::getStructDes() const
{
    return "CItsmQueryDataReq{dataType:int,marketParam:string,platformParam:string}";
}

boost::shared_ptr<IData> CItsmQueryDataReq::copy() const
{
    return boost::make_shared<CItsmQueryDataReq>(*this);
}

void CItsmQueryDataReq::toStream(std::ostream& out) const
{
    out << "CItsmQueryDataReq{dataType=" << dataType << ", marketParam=" << marketParam
        << ", platformParam=" << platformParam << "}";
}

void CItsmQueryDataReq::toLogStream(std::ostream& out) const
{
    out << "query " << dataType << " market " << marketParam << " platform " << platformParam;
}

void CItsmQueryDataReq::appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const
{
    document.append("dataType", dataType);
    document.append("marketParam", marketParam);
    document.append("platformParam", platformParam);
}

std::string CItsmQueryDataReq::getHashKey() const
{
    return std::to_string(dataType) + "/" + marketParam + "/" + platformParam;
}

bool CItsmQueryDataReq::isEqual(const IData& other) const
{
    const auto* query = dynamic_cast<const CItsmQueryDataReq*>(&other);
    return query && query->dataType == dataType && query->marketParam == marketParam &&
           query->platformParam == platformParam;
}

} // namespace ttservice
