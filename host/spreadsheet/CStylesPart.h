#pragma once

#include "spreadsheet/CXmlPartParser.h"

#include <QHash>
#include <QString>

#include <vector>

namespace XP {

// The cell formats of a workbook, reduced to what a reader needs: whether a style index shows a date.
class CStylesPart : public CXmlPartParser
{
public:
    // Call once the part has been fed.
    void resolve();

    bool isDateStyle(int styleIndex) const
    {
        return styleIndex >= 0 && static_cast<std::size_t>(styleIndex) < dateStyles.size() &&
               dateStyles[styleIndex];
    }

protected:
    void startElement(const char* name, const char** attributes) override;
    void endElement(const char* name) override;

private:
    bool inCellFormats = false;
    QHash<int, QString> customFormats;
    std::vector<int> styleFormatIds;
    std::vector<bool> dateStyles;
};

} // namespace XP
