#pragma once

#include "widgets/hpf/IBaseHpfTableData.h"

#include <QString>

namespace IMC {

// One overseas exchange in the exchange table: its name (column 0), its code (shown nowhere) and the name
// of its track (column 2). Column 1 holds the row's buttons.
class CHpfOverSeaData : public XP::IBaseHpfTableData
{
public:
    CHpfOverSeaData(const QString& exchangeName, const QString& exchangeCode, const QString& trackName);

    QString displayText(int column) const override;
    QString cellText(int column) const override;
    qint64 integerValue(int column) const override;
    double floatValue(int column) const override;
    int sortKind(int column) const override;
    QColor textColor() const override;
    // The code's UTF-8 bytes followed by the track name's, with no separator.
    std::string rowKey() const override;

    QString exchangeName;
    QString exchangeCode;
    QString trackName;
};

} // namespace IMC
