#include "utils/StringConversion.h"

namespace XP {

QString sToQs(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

QString formatIntNumber(int value, int width, int /*flags*/)
{
    const QString digits = QString::number(qAbs(value)).rightJustified(width - (value < 0 ? 1 : 0), QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace XP
