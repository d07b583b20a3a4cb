#include "overseas/CHpfOverSeaData.h"

#include "widgets/CUiResource.h"

namespace IMC {

namespace {
constexpr int nameColumn = 0;
constexpr int trackColumn = 2;
} // namespace

CHpfOverSeaData::CHpfOverSeaData(const QString& exchangeName, const QString& exchangeCode,
                                 const QString& trackName)
    : exchangeName(exchangeName)
    , exchangeCode(exchangeCode)
    , trackName(trackName)
{}

QString CHpfOverSeaData::displayText(int column) const
{
    return cellText(column);
}

QString CHpfOverSeaData::cellText(int column) const
{
    switch (column) {
    case nameColumn:
        return exchangeName;
    case trackColumn:
        return trackName;
    default:
        return QString();
    }
}

qint64 CHpfOverSeaData::integerValue(int) const
{
    return 0;
}

double CHpfOverSeaData::floatValue(int) const
{
    return 0.0;
}

int CHpfOverSeaData::sortKind(int) const
{
    return eSortByText;
}

QColor CHpfOverSeaData::textColor() const
{
    return XP::CUiResource::instance()->getColor(QStringLiteral("clr_default"));
}

std::string CHpfOverSeaData::rowKey() const
{
    return exchangeCode.toUtf8().toStdString() + trackName.toUtf8().toStdString();
}

} // namespace IMC
