#include "spreadsheet/CPackageRelationships.h"

#include <QStringList>

#include <cstring>

namespace XP {
namespace {

constexpr std::size_t maxRelationships = 100000;

} // namespace

CPackageRelationships::CPackageRelationships(const QString& sourcePart)
    : sourcePart(sourcePart)
{}

QString CPackageRelationships::relationshipsPartOf(const QString& partName)
{
    const int slash = partName.lastIndexOf(QLatin1Char('/'));
    return partName.left(slash + 1) + QLatin1String("_rels/") + partName.mid(slash + 1) +
           QLatin1String(".rels");
}

QString CPackageRelationships::resolveTarget(const QString& sourcePart, const QString& target)
{
    QString path = target;
    if (!path.startsWith(QLatin1Char('/'))) {
        path = sourcePart.left(sourcePart.lastIndexOf(QLatin1Char('/')) + 1) + path;
    }
    QStringList segments;
    for (const QString& segment : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (segment == QLatin1String("..")) {
            if (segments.isEmpty()) {
                return QString();
            }
            segments.removeLast();
        } else if (segment != QLatin1String(".")) {
            segments.append(segment);
        }
    }
    return segments.join(QLatin1Char('/'));
}

QString CPackageRelationships::targetOfType(const QString& typeSuffix) const
{
    const QString suffix = QLatin1Char('/') + typeSuffix;
    for (const Relationship& relationship : relationships) {
        if (relationship.type.endsWith(suffix)) {
            return relationship.target;
        }
    }
    return QString();
}

QString CPackageRelationships::targetOfId(const QString& id) const
{
    for (const Relationship& relationship : relationships) {
        if (relationship.id == id) {
            return relationship.target;
        }
    }
    return QString();
}

void CPackageRelationships::startElement(const char* name, const char** attributes)
{
    if (std::strcmp(localName(name), "Relationship") != 0) {
        return;
    }
    const char* id = attribute(attributes, "Id");
    const char* type = attribute(attributes, "Type");
    const char* target = attribute(attributes, "Target");
    const char* mode = attribute(attributes, "TargetMode");
    if (!id || !type || !target || (mode && std::strcmp(mode, "External") == 0)) {
        return;
    }
    if (relationships.size() >= maxRelationships) {
        fail();
        return;
    }
    relationships.push_back({QString::fromUtf8(id), QString::fromUtf8(type),
                             resolveTarget(sourcePart, QString::fromUtf8(target))});
}

void CPackageRelationships::endElement(const char*) {}

} // namespace XP
