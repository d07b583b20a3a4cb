#include "records/IData.h"

#include <sstream>

namespace ttservice {

IData::~IData() = default;

void IData::toBsonWithBson(bson::BSONObj& document) const
{
    document.append("typeId", typeId());
    appendElementsWithNoTypeIdWithBson(document);
}

int IData::getOffset() const
{
    return offset;
}

void IData::setOffset(int offset)
{
    this->offset = offset;
}

bool IData::hasOwnTypeId(const bson::BSONObj& document) const
{
    std::string id;
    return document.readText("typeId", id) && id == typeId();
}

std::string toText(const IData& record)
{
    std::ostringstream out;
    record.toStream(out);
    return out.str();
}

} // namespace ttservice
