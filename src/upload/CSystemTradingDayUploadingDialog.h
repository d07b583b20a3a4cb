#pragma once

#include "records/TradeDateMap.h"
#include "widgets/CCommonDialog.h"

class QPaintEvent;

namespace XP {
class CImage;
class CLoadingMaskWidget;
} // namespace XP

namespace IMC {

class CSafeLineEdit;

// Lets the operator pick a trading-day file (.xls/.xlsx workbook or comma-separated text), reads it and
// hands its trading days to the owner with event 3029; the owner then fetches them with
// getTradeDateMap(). Run modally with exec(); closing keeps the dialog and its last map.
class CSystemTradingDayUploadingDialog : public XP::CCommonDialog
{
    Q_OBJECT
public:
    static constexpr int uploadedEventType = 3029;
    static constexpr int browseId = 401;
    static constexpr int uploadId = 402;
    static constexpr int closeDialogId = 403;
    static constexpr int filePathEditId = 404;

    explicit CSystemTradingDayUploadingDialog(QWidget* parent);
    ~CSystemTradingDayUploadingDialog() override;

    bool handleEvent(int type, int id, int param, QString text, void* data) override;

    TradeDateMap getTradeDateMap() const;

    // While 1, the dialog draws its rule image; the owner sets 0 before each showing.
    void setShowRule(int value);
    int getShowRule() const { return showRule; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void chooseFile();
    void upload();
    void readTradeDateFile();
    void showNotice(const QString& text);

    XP::CImage* ruleImage;
    XP::CLoadingMaskWidget* loadingMask;
    CSafeLineEdit* filePathEdit;
    int showRule;
    TradeDateMap tradeDateMap;
};

} // namespace IMC
