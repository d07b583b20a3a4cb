#include "CStoreException.h"

namespace IMC {

CStoreException::CStoreException(Code code, const QString& text)
    : errorCode(code)
    , text(text.toStdString())
{}

CStoreException::Code CStoreException::code() const
{
    return errorCode;
}

CStoreException CStoreException::within(const QString& context) const
{
    return CStoreException(errorCode, context + QString::fromStdString(text));
}

const char* CStoreException::what() const noexcept
{
    return text.c_str();
}

utils::TTError CStoreException::toError() const
{
    return utils::TTError(errorCode, text);
}

} // namespace IMC
