#include "records/BSONObj.h"

#include <QVariantList>

#include <utility>

namespace bson {

namespace {

QString keyOf(const std::string& name)
{
    return QString::fromStdString(name);
}

} // namespace

BSONObj::BSONObj(QVariantMap fields)
    : fields(std::move(fields))
{}

bool BSONObj::isEmpty() const
{
    return fields.isEmpty();
}

int BSONObj::size() const
{
    return fields.size();
}

bool BSONObj::hasField(const std::string& name) const
{
    return fields.contains(keyOf(name));
}

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

void BSONObj::appendObjectList(const std::string& name, const std::vector<BSONObj>& documents)
{
    QVariantList list;
    list.reserve(static_cast<int>(documents.size()));
    for (const BSONObj& document : documents) {
        list.append(document.fields);
    }
    fields.insert(keyOf(name), list);
}

QVariant BSONObj::value(const std::string& name) const
{
    return fields.value(keyOf(name));
}

std::string BSONObj::text(const std::string& name) const
{
    std::string out;
    readText(name, out);
    return out;
}

BSONObj BSONObj::object(const std::string& name) const
{
    BSONObj out;
    readObject(name, out);
    return out;
}

bool BSONObj::readText(const std::string& name, std::string& out) const
{
    const QVariant field = value(name);
    if (field.userType() != QMetaType::QString) {
        return false;
    }
    out = field.toString().toStdString();
    return true;
}

bool BSONObj::readInt(const std::string& name, int& out) const
{
    const QVariant field = value(name);
    if (field.userType() != QMetaType::Int) {
        return false;
    }
    out = field.toInt();
    return true;
}

bool BSONObj::readBool(const std::string& name, bool& out) const
{
    const QVariant field = value(name);
    if (field.userType() != QMetaType::Bool) {
        return false;
    }
    out = field.toBool();
    return true;
}

bool BSONObj::readObject(const std::string& name, BSONObj& out) const
{
    const QVariant field = value(name);
    if (field.userType() != QMetaType::QVariantMap) {
        return false;
    }
    out = BSONObj(field.toMap());
    return true;
}

bool BSONObj::readObjectList(const std::string& name, std::vector<BSONObj>& out) const
{
    const QVariant field = value(name);
    if (field.userType() != QMetaType::QVariantList) {
        return false;
    }
    std::vector<BSONObj> documents;
    for (const QVariant& item : field.toList()) {
        if (item.userType() != QMetaType::QVariantMap) {
            return false;
        }
        documents.emplace_back(item.toMap());
    }
    out = std::move(documents);
    return true;
}

const QVariantMap& BSONObj::toVariantMap() const
{
    return fields;
}

bool BSONObj::operator==(const BSONObj& other) const
{
    return fields == other.fields;
}

bool BSONObj::operator!=(const BSONObj& other) const
{
    return !(*this == other);
}

} // namespace bson
