#include "overseas/CAddExchangDialog.h"

#include "data/TradingDayTypes.h"
#include "utils/StringConversion.h"
#include "widgets/CComboBox.h"
#include "widgets/CMessageBox.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CWidgetList.h"

namespace IMC {

namespace {
constexpr int placeholderData = -1;
constexpr int anchorFill = XP::CWidgetList::eAnchorFill;

XP::CWidgetList* makeRow(XP::CWidgetList* outer)
{
    auto* row = new XP::CWidgetList(Qt::Horizontal, outer);
    row->setMargin(0, 0, 0, 0);
    row->setSpacing(0);
    return row;
}

XP::CSmallNormalButton* makeButton(int id, const QString& text, XP::CWidgetList* row)
{
    auto* button = new XP::CSmallNormalButton(id, false, 1, row);
    button->setText(text);
    button->setFixedSize(100, 26);
    row->addFixedWidget(button, anchorFill, true);
    return button;
}
} // namespace

CAddExchangDialog::CAddExchangDialog(QWidget* parent)
    : XP::CCommonDialog(parent)
    , exchangeCombo(nullptr)
    , trackCombo(nullptr)
{
    setTitle(QStringLiteral("新增交易所代码"));
    setFixedSize(400, 210);

    auto* outer = new XP::CWidgetList(Qt::Vertical, this);
    outer->setMargin(60, 20, 0, 0);
    outer->setSpacing(0);

    XP::CWidgetList* exchangeRow = makeRow(outer);
    auto* exchangeLabel = new XP::CSimpleTextWidget(false, 0, QStringLiteral("交易所代码:"), exchangeRow);
    exchangeCombo = new XP::CComboBox(ExchangeComboId, exchangeRow);
    exchangeCombo->setFixedSize(150, 28);
    exchangeCombo->addItem(QStringLiteral("--请选择--"), placeholderData);
    exchangeRow->addFixedWidget(exchangeLabel, anchorFill, true);
    exchangeRow->addFixedSpace(10);
    exchangeRow->addFixedWidget(exchangeCombo, anchorFill, true);

    XP::CWidgetList* trackRow = makeRow(outer);
    auto* trackLabel = new XP::CSimpleTextWidget(false, 0, QStringLiteral("  所属赛道:"), trackRow);
    trackCombo = new XP::CComboBox(TrackComboId, trackRow);
    trackCombo->setFixedSize(150, 28);
    trackRow->addFixedWidget(trackLabel, anchorFill, true);
    trackRow->addFixedSpace(10);
    trackRow->addFixedWidget(trackCombo, anchorFill, true);

    XP::CWidgetList* buttonRow = makeRow(outer);
    makeButton(SaveButtonId, QStringLiteral("保存"), buttonRow);
    buttonRow->addFixedSpace(80);
    makeButton(CancelButtonId, QStringLiteral("取消"), buttonRow);

    outer->addFixedWidget(exchangeRow, anchorFill, true);
    outer->addFixedSpace(10);
    outer->addFixedWidget(trackRow, anchorFill, true);
    outer->addFixedSpace(10);
    outer->addFixedWidget(buttonRow, anchorFill, true);
    setInnerWidget(outer);
}

CAddExchangDialog::~CAddExchangDialog() = default;

void CAddExchangDialog::setExchangeNames(QMap<QString, QString> exchangeNames)
{
    if (!exchangeCombo) {
        return;
    }
    for (auto entry = exchangeNames.cbegin(); entry != exchangeNames.cend(); ++entry) {
        exchangeCombo->addItem(entry.value(), entry.key());
    }
}

void CAddExchangDialog::setTracks(std::map<int, std::string> tracks)
{
    if (!trackCombo) {
        return;
    }
    trackCombo->clear();
    for (const auto& track : tracks) {
        if (track.first != -1) {
            trackCombo->addItem(XP::sToQs(track.second), track.first);
        }
    }
}

QString CAddExchangDialog::selectedExchangeName() const
{
    return exchangeCombo ? exchangeCombo->currentText() : QString();
}

int CAddExchangDialog::selectedTrackId() const
{
    return trackCombo ? trackCombo->currentData(Qt::UserRole).toInt() : -1;
}

bool CAddExchangDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type != TradingDay::ButtonClickedEvent) {
        return XP::CBaseDialog::handleEvent(type, id, param, text, data);
    }
    if (id == SaveButtonId) {
        if (isExchangeChosen()) {
            accept();
        } else {
            XP::CMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("请选择交易所"));
        }
    } else if (id == CancelButtonId || id == TradingDay::DialogFrameCloseId) {
        reject();
    }
    return true;
}

bool CAddExchangDialog::isExchangeChosen() const
{
    return !exchangeCombo || exchangeCombo->currentIndex() > 0;
}

} // namespace IMC
