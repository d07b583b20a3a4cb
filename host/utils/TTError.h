#pragma once

#include <string>

namespace utils {

// Outcome of a host service call: success, or a failure with a code and a (possibly empty) text.
// Code 0 is success; failures carry any other code.
class TTError
{
public:
    TTError();
    TTError(int code, std::string message);

    bool isSuccess() const;
    int code() const;
    const std::string& errorMsg() const;

private:
    int errorCode;
    std::string message;
};

} // namespace utils
