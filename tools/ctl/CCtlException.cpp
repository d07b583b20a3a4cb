#include "CCtlException.h"

namespace IMC {

CCtlException::CCtlException(int exitCode, const QString& message)
    : code(exitCode)
    , text(message)
    , utf8(message.toUtf8())
{}

int CCtlException::exitCode() const
{
    return code;
}

const QString& CCtlException::message() const
{
    return text;
}

const char* CCtlException::what() const noexcept
{
    return utf8.constData();
}

} // namespace IMC
