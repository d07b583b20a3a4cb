#pragma once

#include <QString>

#include <exception>

namespace IMC {

// Ends a tradingday-ctl command with an exit code and a message for the operator.
class CCtlException : public std::exception
{
public:
    CCtlException(int exitCode, const QString& message);

    int exitCode() const;
    const QString& message() const;
    const char* what() const noexcept override;

private:
    int code;
    QString text;
    QByteArray utf8;
};

} // namespace IMC
