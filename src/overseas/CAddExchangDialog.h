#pragma once

#include "widgets/CCommonDialog.h"

#include <QMap>
#include <QString>

#include <map>
#include <string>

namespace XP {
class CComboBox;
}

namespace IMC {

// "新增交易所代码": the operator picks an exchange by name and the track it belongs to. "保存" accepts
// only once an exchange is chosen; "取消" and the title bar's close control reject.
class CAddExchangDialog : public XP::CCommonDialog
{
    Q_OBJECT

public:
    enum EControlId
    {
        ExchangeComboId = 0,
        TrackComboId = 1,
        SaveButtonId = 5,
        CancelButtonId = 6
    };

    explicit CAddExchangDialog(QWidget* parent);
    ~CAddExchangDialog() override;

    // Exchange code to name: one item per code after "--请选择--", in ascending code order, showing the name.
    void setExchangeNames(QMap<QString, QString> exchangeNames);
    // Track id to name (UTF-8), in ascending id order; the id -1 is left out. Each item holds its id.
    void setTracks(std::map<int, std::string> tracks);
    QString selectedExchangeName() const;
    // The chosen track's id; 0 when the track list is empty.
    int selectedTrackId() const;

    bool handleEvent(int type, int id, int param, QString text, void* data) override;

protected:
    XP::CComboBox* exchangeCombo;
    XP::CComboBox* trackCombo;

private:
    bool isExchangeChosen() const;
};

} // namespace IMC
