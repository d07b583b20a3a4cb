#include "spreadsheet/CXmlPartParser.h"

#include <cstring>

namespace XP {

CXmlPartParser::CXmlPartParser()
    : parser(XML_ParserCreateNS(nullptr, '|'))
{
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &CXmlPartParser::onStart, &CXmlPartParser::onEnd);
    XML_SetCharacterDataHandler(parser, &CXmlPartParser::onCharacters);
    XML_SetStartDoctypeDeclHandler(parser, &CXmlPartParser::onDoctype);
    XML_SetEntityDeclHandler(parser, &CXmlPartParser::onEntity);
}

CXmlPartParser::~CXmlPartParser()
{
    XML_ParserFree(parser);
}

bool CXmlPartParser::feed(const char* data, int size, bool final)
{
    if (!parser || failed) {
        return false;
    }
    if (XML_Parse(parser, data, size, final ? 1 : 0) != XML_STATUS_OK) {
        failed = true;
    }
    return !failed;
}

const char* CXmlPartParser::localName(const char* name)
{
    const char* separator = std::strrchr(name, '|');
    return separator ? separator + 1 : name;
}

const char* CXmlPartParser::attribute(const char** attributes, const char* local)
{
    for (int i = 0; attributes[i]; i += 2) {
        if (std::strcmp(localName(attributes[i]), local) == 0) {
            return attributes[i + 1];
        }
    }
    return nullptr;
}

void CXmlPartParser::characters(const char*, int) {}

void CXmlPartParser::fail()
{
    failed = true;
    XML_StopParser(parser, XML_FALSE);
}

void CXmlPartParser::onStart(void* self, const XML_Char* name, const XML_Char** attributes)
{
    static_cast<CXmlPartParser*>(self)->startElement(name, attributes);
}

void CXmlPartParser::onEnd(void* self, const XML_Char* name)
{
    static_cast<CXmlPartParser*>(self)->endElement(name);
}

void CXmlPartParser::onCharacters(void* self, const XML_Char* text, int length)
{
    static_cast<CXmlPartParser*>(self)->characters(text, length);
}

void CXmlPartParser::onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    static_cast<CXmlPartParser*>(self)->fail();
}

void CXmlPartParser::onEntity(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                              const XML_Char*, const XML_Char*, const XML_Char*)
{
    static_cast<CXmlPartParser*>(self)->fail();
}

} // namespace XP
