#include "utils/TTError.h"

#include <utility>

namespace utils {

TTError::TTError()
    : errorCode(0)
{}

TTError::TTError(int code, std::string message)
    : errorCode(code)
    , message(std::move(message))
{}

bool TTError::isSuccess() const
{
    return errorCode == 0;
}

int TTError::code() const
{
    return errorCode;
}

const std::string& TTError::errorMsg() const
{
    return message;
}

} // namespace utils
