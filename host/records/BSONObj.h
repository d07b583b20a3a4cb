#pragma once

#include <QVariant>
#include <QVariantMap>

#include <string>
#include <vector>

namespace bson {

// A small document of named values. Records write themselves into one and read themselves back;
// the plug-in only passes documents through.
class BSONObj
{
public:
    BSONObj() = default;
    explicit BSONObj(QVariantMap fields);

    bool isEmpty() const;
    int size() const;
    bool hasField(const std::string& name) const;

    void append(const std::string& name, const QVariant& value);
    void append(const std::string& name, const std::string& text);
    void append(const std::string& name, const BSONObj& document);

    QVariant value(const std::string& name) const;
    // Text of a field as UTF-8; empty when the field is missing.
    std::string text(const std::string& name) const;
    // A nested document; empty when the field is missing or not a document.
    BSONObj object(const std::string& name) const;

    // Typed reads: false, and out unchanged, when the field is missing or of another type.
    bool readText(const std::string& name, std::string& out) const;
    bool readInt(const std::string& name, int& out) const;
    bool readBool(const std::string& name, bool& out) const;
    bool readObject(const std::string& name, BSONObj& out) const;
    bool readObjectList(const std::string& name, std::vector<BSONObj>& out) const;
    void appendObjectList(const std::string& name, const std::vector<BSONObj>& documents);

    const QVariantMap& toVariantMap() const;

    bool operator==(const BSONObj& other) const;
    bool operator!=(const BSONObj& other) const;

private:
    QVariantMap fields;
};

} // namespace bson
