#include "records/IData.h"

namespace ttservice {

IData::~IData() = default;

void IData::toBsonWithBson(bson::BSONObj& document) const
{
    const std::string description = getStructDes();
    document.append("typeId", description.substr(0, description.find('{')));
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

} // namespace ttservice
