#pragma once

#include <QString>

#include <memory>

namespace IMC {

class ITradingDayBackend;

// Opens the back end a store address names: "memory:" for a throw-away in-memory store seeded with
// reference data, otherwise a SQLite store (a file path or sqlite:///path; its folder is created).
class CStoreOpener
{
public:
    static std::shared_ptr<ITradingDayBackend> open(const QString& address, QString* error);
};

} // namespace IMC
