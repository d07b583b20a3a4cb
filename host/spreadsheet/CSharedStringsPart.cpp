#include "spreadsheet/CSharedStringsPart.h"

#include "spreadsheet/CCellTextFormatter.h"

#include <cstring>

namespace XP {
namespace {

constexpr std::size_t maxItems = 4 * 1024 * 1024;

} // namespace

void CSharedStringsPart::startElement(const char* name, const char** attributes)
{
    const char* local = localName(name);
    if (std::strcmp(local, "si") == 0) {
        inItem = true;
        current.clear();
    } else if (std::strcmp(local, "rPh") == 0) {
        ++phoneticDepth;
    } else if (inItem && phoneticDepth == 0 && std::strcmp(local, "t") == 0) {
        inText = true;
    }
}

void CSharedStringsPart::endElement(const char* name)
{
    const char* local = localName(name);
    if (std::strcmp(local, "t") == 0) {
        inText = false;
    } else if (std::strcmp(local, "rPh") == 0) {
        --phoneticDepth;
    } else if (std::strcmp(local, "si") == 0) {
        if (items.size() >= maxItems) {
            fail();
            return;
        }
        items.push_back(CCellTextFormatter::decodeEscapes(current));
        inItem = false;
    }
}

void CSharedStringsPart::characters(const char* text, int length)
{
    if (inText) {
        current.append(text, static_cast<std::size_t>(length));
    }
}

} // namespace XP
