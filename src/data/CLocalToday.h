#pragma once

#include <QDate>

namespace IMC {

// Today's local date, read cheaply many times over. Reading the local date asks the C library for the
// time zone, which re-reads the zone file on every call; a month of day cells asks dozens of times. The
// date read last is kept with the instants its day begins and ends, and is read again only once the
// clock has left that day.
class CLocalToday
{
public:
    static QDate date();
};

} // namespace IMC
