#pragma once

#include <QString>

#include <string>

namespace XP {

// Record texts are UTF-8; this is the one way they become display text.
QString sToQs(const std::string& text);

// Decimal text of value, padded with leading zeros to at least width digits ("08" for 8, width 2).
QString formatIntNumber(int value, int width, int flags = 0);

} // namespace XP
