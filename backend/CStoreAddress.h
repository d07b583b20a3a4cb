#pragma once

#include <QString>

namespace IMC {

// Where a trading-day store lives. Accepted forms: a file path ("/var/lib/tradingday/days.db",
// "days.db") or the same path behind the "sqlite://" scheme ("sqlite:///var/lib/tradingday/days.db").
class CStoreAddress
{
public:
    static CStoreAddress parse(const QString& address);

    bool isValid() const;
    // Absolute path of the database file; empty when the address is not valid.
    const QString& filePath() const;
    // Why the address was refused, in the operator's words.
    const QString& errorText() const;

private:
    static CStoreAddress refused(const QString& errorText);

    QString path;
    QString error;
};

} // namespace IMC
