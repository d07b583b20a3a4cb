#include "spreadsheet/CWorkbookPart.h"

#include <cstring>

namespace XP {
namespace {

// The relationships namespace of transitional files, and of strict ones.
const char transitionalRelationships[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships|id";
const char strictRelationships[] = "http://purl.oclc.org/ooxml/officeDocument/relationships|id";

bool isTrue(const char* value)
{
    return value && (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0);
}

} // namespace

void CWorkbookPart::startElement(const char* name, const char** attributes)
{
    const char* local = localName(name);
    if (std::strcmp(local, "workbookPr") == 0) {
        date1904 = isTrue(attribute(attributes, "date1904"));
    } else if (std::strcmp(local, "sheets") == 0) {
        inSheets = true;
    } else if (inSheets && firstSheetId.isEmpty() && std::strcmp(local, "sheet") == 0) {
        for (int i = 0; attributes[i]; i += 2) {
            if (std::strcmp(attributes[i], transitionalRelationships) == 0 ||
                std::strcmp(attributes[i], strictRelationships) == 0) {
                firstSheetId = QString::fromUtf8(attributes[i + 1]);
            }
        }
    }
}

void CWorkbookPart::endElement(const char* name)
{
    if (std::strcmp(localName(name), "sheets") == 0) {
        inSheets = false;
    }
}

} // namespace XP
