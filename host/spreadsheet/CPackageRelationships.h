#pragma once

#include "spreadsheet/CXmlPartParser.h"

#include <QString>

#include <vector>

namespace XP {

// The relationships part of one package part: which parts it points at, by id and type.
class CPackageRelationships : public CXmlPartParser
{
public:
    // sourcePart is the part the relationships belong to ("" for the package itself); targets are
    // resolved against its folder.
    explicit CPackageRelationships(const QString& sourcePart);

    // The name of the relationships part of partName ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels").
    static QString relationshipsPartOf(const QString& partName);

    // Resolves a relative or absolute target against the folder of sourcePart to a part name without a
    // leading slash; empty when it climbs above the package root.
    static QString resolveTarget(const QString& sourcePart, const QString& target);

    // The part of the first relationship whose type ends in "/" + typeSuffix (transitional and strict
    // type URIs differ only before that), or empty.
    QString targetOfType(const QString& typeSuffix) const;
    QString targetOfId(const QString& id) const;

protected:
    void startElement(const char* name, const char** attributes) override;
    void endElement(const char* name) override;

private:
    struct Relationship
    {
        QString id;
        QString type;
        QString target;
    };

    QString sourcePart;
    std::vector<Relationship> relationships;
};

} // namespace XP
