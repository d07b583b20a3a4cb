#include "spreadsheet/CStylesPart.h"

#include "spreadsheet/CCellTextFormatter.h"

#include <cstdlib>
#include <cstring>

namespace XP {
namespace {

constexpr std::size_t maxStyles = 1000000;

int number(const char* text)
{
    return text ? std::atoi(text) : 0;
}

} // namespace

void CStylesPart::resolve()
{
    dateStyles.clear();
    dateStyles.reserve(styleFormatIds.size());
    for (int id : styleFormatIds) {
        const auto custom = customFormats.constFind(id);
        dateStyles.push_back(custom != customFormats.constEnd()
                                 ? CCellTextFormatter::isDateFormatCode(*custom)
                                 : CCellTextFormatter::isDateFormatId(id));
    }
}

void CStylesPart::startElement(const char* name, const char** attributes)
{
    const char* local = localName(name);
    if (std::strcmp(local, "numFmt") == 0) {
        const char* code = attribute(attributes, "formatCode");
        customFormats.insert(number(attribute(attributes, "numFmtId")), QString::fromUtf8(code ? code : ""));
    } else if (std::strcmp(local, "cellXfs") == 0) {
        inCellFormats = true;
    } else if (inCellFormats && std::strcmp(local, "xf") == 0) {
        if (styleFormatIds.size() >= maxStyles) {
            fail();
            return;
        }
        styleFormatIds.push_back(number(attribute(attributes, "numFmtId")));
    }
}

void CStylesPart::endElement(const char* name)
{
    if (std::strcmp(localName(name), "cellXfs") == 0) {
        inCellFormats = false;
    }
}

} // namespace XP
