#pragma once

#include <expat.h>

#include <QString>

namespace XP {

// A streaming, namespace-aware XML parser for the small parts of a package (relationships, workbook,
// styles, shared strings). Element and attribute names arrive as "namespace-uri|local-name" (or just
// the local name when it has no namespace). Documents with a DTD or entity declarations are refused.
class CXmlPartParser
{
public:
    CXmlPartParser();
    virtual ~CXmlPartParser();
    CXmlPartParser(const CXmlPartParser&) = delete;
    CXmlPartParser& operator=(const CXmlPartParser&) = delete;

    // Feed the document piece by piece; the last call has final true. False once the document is bad.
    bool feed(const char* data, int size, bool final);

    // The local part of a "uri|local" name.
    static const char* localName(const char* name);

    // The value of the attribute whose local name is local (in any namespace), or nullptr.
    static const char* attribute(const char** attributes, const char* local);

protected:
    virtual void startElement(const char* name, const char** attributes) = 0;
    virtual void endElement(const char* name) = 0;
    virtual void characters(const char* text, int length);

    // Lets a handler give up on a document it cannot use.
    void fail();

private:
    static void onStart(void* self, const XML_Char* name, const XML_Char** attributes);
    static void onEnd(void* self, const XML_Char* name);
    static void onCharacters(void* self, const XML_Char* text, int length);
    static void onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int);
    static void onEntity(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                         const XML_Char*, const XML_Char*, const XML_Char*);

    XML_Parser parser;
    bool failed = false;
};

} // namespace XP
