#pragma once

#include <QVariant>
#include <QVariantMap>

#include <string>

namespace bson {

// A small document of named values. Records write themselves into one; the plug-in only passes
// documents through.
class BSONObj
{
public:
    void append(const std::string& name, const QVariant& value);
    void append(const std::string& name, const std::string& text);
    void append(const std::string& name, const BSONObj& document);

    QVariant value(const std::string& name) const;
    // Text of a field as UTF-8; empty when the field is missing.
    std::string text(const std::string& name) const;

private:
    QVariantMap fields;
};

} // namespace bson
