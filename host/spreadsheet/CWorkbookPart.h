#pragma once

#include "spreadsheet/CXmlPartParser.h"

#include <QString>

namespace XP {

// What a reader needs from the workbook part: the date system and the first tab in workbook order.
class CWorkbookPart : public CXmlPartParser
{
public:
    bool usesDate1904() const { return date1904; }

    // Relationship id of the first <sheet> in <sheets>, whatever its sheetId or part name; empty when none.
    QString firstSheetRelationshipId() const { return firstSheetId; }

protected:
    void startElement(const char* name, const char** attributes) override;
    void endElement(const char* name) override;

private:
    bool date1904 = false;
    bool inSheets = false;
    QString firstSheetId;
};

} // namespace XP
