#include "records/CItsmPlatformInfo.h"

#include <boost/make_shared.hpp>

namespace ttservice {

const char* CItsmPlatformInfo::getStructDes() const
{
    return "CItsmPlatformInfo{platformName:string,platformId:int}";
}

boost::shared_ptr<IData> CItsmPlatformInfo::copy() const
{
    return boost::make_shared<CItsmPlatformInfo>(*this);
}

void CItsmPlatformInfo::toStream(std::ostream& out) const
{
    out << "CItsmPlatformInfo{platformName=" << platformName << ", platformId=" << platformId << "}";
}

void CItsmPlatformInfo::toLogStream(std::ostream& out) const
{
    out << platformId << ":" << platformName;
}

void CItsmPlatformInfo::appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const
{
    document.append("platformName", platformName);
    document.append("platformId", platformId);
}

std::string CItsmPlatformInfo::getHashKey() const
{
    return std::to_string(platformId);
}

bool CItsmPlatformInfo::isEqual(const IData& other) const
{
    const auto* platform = dynamic_cast<const CItsmPlatformInfo*>(&other);
    return platform && platform->platformName == platformName && platform->platformId == platformId;
}

} // namespace ttservice
