#pragma once

#include <QString>

#include <memory>

namespace IMC {

class ITradingDayBackend;

// Opens the back end a store address names: "memory:" for a throw-away in-memory store seeded with
// reference data, a SQLite store (a file path or sqlite:///path; its folder is created) or a store in a
// PostgreSQL database (postgresql://user@host:port/database), which many hosts may share.
class CStoreOpener
{
public:
    static std::shared_ptr<ITradingDayBackend> open(const QString& address, QString* error);
};

} // namespace IMC
