#include "records/BSONObj.h"

namespace bson {

namespace {

QString keyOf(const std::string& name)
{
    return QString::fromStdString(name);
}

} // namespace

void BSONObj::append(const std::string& name, const QVariant& value)
{
    fields.insert(keyOf(name), value);
}

void BSONObj::append(const std::string& name, const std::string& text)
{
    fields.insert(keyOf(name), QString::fromStdString(text));
}

void BSONObj::append(const std::string& name, const BSONObj& document)
{
    fields.insert(keyOf(name), document.fields);
}

QVariant BSONObj::value(const std::string& name) const
{
    return fields.value(keyOf(name));
}

std::string BSONObj::text(const std::string& name) const
{
    return value(name).toString().toStdString();
}

} // namespace bson
