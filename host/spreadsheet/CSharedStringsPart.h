#pragma once

#include "spreadsheet/CXmlPartParser.h"

#include <string>
#include <vector>

namespace XP {

// The shared string table: every item's text runs joined, phonetic runs left out, escapes decoded; in UTF-8.
class CSharedStringsPart : public CXmlPartParser
{
public:
    const std::vector<std::string>& strings() const { return items; }

protected:
    void startElement(const char* name, const char** attributes) override;
    void endElement(const char* name) override;
    void characters(const char* text, int length) override;

private:
    std::vector<std::string> items;
    std::string current;
    bool inItem = false;
    bool inText = false;
    int phoneticDepth = 0;
};

} // namespace XP
