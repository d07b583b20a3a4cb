#pragma once

#include "utils/TTError.h"

#include <QString>

#include <exception>

namespace IMC {

// Aborts a store operation inside the back end; turned into a utils::TTError at its public functions,
// so it never reaches a caller.
class CStoreException : public std::exception
{
public:
    enum Code
    {
        BadRequest = 1,
        DatabaseFailure = 2,
        StoreUnreachable = 3,
        NotFound = 4,
        // The operator lacks the right the operation needs.
        Forbidden = 5,
        // The database server cannot be reached, or the connection to it broke off.
        NoConnection = 6,
        // The market or exchange changed since the desk that sent the operation read it.
        Stale = 7
    };

    CStoreException(Code code, const QString& text);

    Code code() const;
    // The same failure with context put in front of its text.
    CStoreException within(const QString& context) const;
    const char* what() const noexcept override;
    utils::TTError toError() const;

private:
    Code errorCode;
    std::string text;
};

} // namespace IMC
