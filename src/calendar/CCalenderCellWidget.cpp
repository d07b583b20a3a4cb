#include "calendar/CCalenderCellWidget.h"

#include "data/CLocalToday.h"
#include "data/CTradeDateRecords.h"
#include "data/TradingDayTypes.h"
#include "widgets/CCheckBox.h"
#include "widgets/CGroupBox.h"
#include "widgets/CMessageBox.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CWidgetList.h"

#include <QDate>
#include <QMessageBox>

namespace IMC {
namespace {

constexpr int standardButtonType = XP::CSmallNormalButton::eStandard;
constexpr int fullText = 100000;
const char* const tradeDayWord = "交易日 ";

} // namespace

CCalenderCellWidget::CCalenderCellWidget(ttservice::EZRMarketType marketType, QWidget* parent)
    : XP::CBaseWidget(QStringLiteral("system_trading_day_cell"), false, parent)
    , topRow(nullptr)
    , dayNumberText(nullptr)
    , lowerArea(nullptr)
    , tradeDayText(nullptr)
    , deleteButton(nullptr)
    , addButton(nullptr)
    , daySessionCheckBox(nullptr)
    , nightSessionCheckBox(nullptr)
    , frame(nullptr)
    , isTradeDay(false)
    , marketType(marketType)
{
    createUi();
    setFixedSize(cellWidth, cellHeight);
}

CCalenderCellWidget::~CCalenderCellWidget() = default;

void CCalenderCellWidget::onActive()
{
    XP::CBaseWidget::onActive();
}

void CCalenderCellWidget::createUi()
{
    frame = new XP::CGroupBox(this);
    frame->setFixedSize(cellWidth, cellHeight);

    auto* outerList = new XP::CWidgetList(Qt::Vertical, frame);
    outerList->setMargin(0, 0, 0, 0);
    outerList->setFixedSize(cellWidth, cellHeight);
    outerList->setSpacing(10);

    topRow = new XP::CWidgetList(Qt::Horizontal, outerList);
    topRow->setMargin(0, 0, 0, 0);
    topRow->setFixedHeight(15);
    dayNumberText = new XP::CSimpleTextWidget(false, 0, QStringLiteral("1"), this);
    dayNumberText->setFixedSize(15, 15);
    topRow->addStretchSpace(1);
    topRow->addFixedWidget(dayNumberText, XP::CWidgetList::eAnchorCenter);

    lowerArea = new XP::CWidgetList(Qt::Vertical, outerList);
    lowerArea->setMargin(0, 0, 0, 0);
    lowerArea->setFixedHeight(70);

    auto* tradeDayRow = new XP::CWidgetList(Qt::Horizontal, lowerArea);
    tradeDayRow->setMargin(0, 0, 0, 0);
    tradeDayRow->setFixedHeight(15);
    tradeDayText = new XP::CSimpleTextWidget(false, 0, QString::fromUtf8(tradeDayWord), this);
    tradeDayText->setFixedSize(130, 15);
    deleteButton = new XP::CSmallNormalButton(DeleteButtonId, false, standardButtonType, this);
    deleteButton->setText(QStringLiteral("X"));
    deleteButton->setFixedSize(10, 10);
    tradeDayRow->addFixedWidget(tradeDayText, XP::CWidgetList::eAnchorCenter);
    tradeDayRow->addStretchSpace(1);
    tradeDayRow->addFixedWidget(deleteButton, XP::CWidgetList::eAnchorCenter);

    addButton = new XP::CSmallNormalButton(AddButtonId, false, standardButtonType, this);
    addButton->setText(QStringLiteral("+"));
    addButton->setFixedSize(30, 20);

    auto* sessionRow = new XP::CWidgetList(Qt::Horizontal, lowerArea);
    sessionRow->setMargin(0, 0, 0, 0);
    sessionRow->setFixedHeight(15);
    daySessionCheckBox = new XP::CCheckBox(DaySessionBoxId, QString(), QStringLiteral("日盘"), this);
    nightSessionCheckBox = new XP::CCheckBox(NightSessionBoxId, QString(), QStringLiteral("夜盘"), this);
    sessionRow->addFixedWidget(daySessionCheckBox, XP::CWidgetList::eAnchorCenter);
    sessionRow->addStretchSpace(1);
    sessionRow->addFixedWidget(nightSessionCheckBox, XP::CWidgetList::eAnchorCenter);

    lowerArea->addFixedWidget(tradeDayRow, XP::CWidgetList::eAnchorCenter);
    lowerArea->addFixedWidget(addButton, XP::CWidgetList::eAnchorCenter);
    lowerArea->addFixedWidget(sessionRow, XP::CWidgetList::eAnchorCenter);

    outerList->addFixedWidget(topRow, XP::CWidgetList::eAnchorFill);
    outerList->addFixedWidget(lowerArea, XP::CWidgetList::eAnchorFill);
    frame->setInnerStretchWidget(outerList, 0, 0, 0, 0);
    setInnerStretchWidget(frame, 0, 0, 0, 0);
}

void CCalenderCellWidget::setBasicInfo(int year, int month, int day, bool editable, bool hasTradeDay,
                                       int sessionFlags)
{
    isTradeDay = hasTradeDay;
    dayNumberText->setText(QString::number(day), fullText);
    dateText = CTradeDateRecords::dateText(year, month, day);
    tradeDayText->setText(tradeDayText->getText() + dateText, fullText);

    showTradeDayControls(editable && hasTradeDay);
    daySessionCheckBox->setChecked((sessionFlags & TradingDay::DaySession) != 0);
    nightSessionCheckBox->setChecked((sessionFlags & TradingDay::NightSession) != 0);
    addButton->setVisible(editable && !hasTradeDay);

    if (!editable) {
        dayNumberText->setColorKey(QStringLiteral("clr_lineedit_empty_hint"));
    }
    // The date is built from its parts rather than parsed back from dateText: parsing goes through local
    // date-time conversions that read the time-zone file every time.
    if (QDate(year, month, day) == CLocalToday::date()) {
        dayNumberText->setColorKey(QStringLiteral("clr_global_warn"));
        tradeDayText->setColorKey(QStringLiteral("clr_global_warn"));
    }
}

bool CCalenderCellWidget::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type == TradingDay::ButtonClickedEvent && id == DeleteButtonId) {
        confirmDelete();
    } else if (type == TradingDay::ButtonClickedEvent && id == AddButtonId) {
        makeTradeDay();
    } else if (type == TradingDay::CheckBoxToggledEvent) {
        confirmSessionOff(id);
        reportSessions();
    }
    return true;
}

void CCalenderCellWidget::confirmDelete()
{
    if (!askOperator(QStringLiteral("确认删除? "))) {
        return;
    }
    showTradeDayControls(false);
    addButton->show();
    isTradeDay = false;
    daySessionCheckBox->setChecked(false);
    nightSessionCheckBox->setChecked(false);
    deliverEvent(TradingDay::DayClearedEvent, 0, 0, dateText, nullptr);
}

void CCalenderCellWidget::makeTradeDay()
{
    showTradeDayControls(true);
    addButton->hide();
    isTradeDay = true;
    daySessionCheckBox->setChecked(true);
    nightSessionCheckBox->setChecked(hasNightSession());
    deliverEvent(TradingDay::DaySetEvent, 0, defaultSessionFlags(), dateText, nullptr);
}

// Switching a session off takes something away: the box stays on until the operator confirms.
void CCalenderCellWidget::confirmSessionOff(int boxId)
{
    XP::CCheckBox* box = boxId == DaySessionBoxId     ? daySessionCheckBox
                         : boxId == NightSessionBoxId ? nightSessionCheckBox
                                                      : nullptr;
    if (!box || box->isChecked()) {
        return;
    }
    box->setChecked(true);
    const QString question =
        box == daySessionCheckBox ? QStringLiteral("确认取消日盘? ") : QStringLiteral("确认取消夜盘? ");
    if (askOperator(question)) {
        box->setChecked(false);
    }
}

void CCalenderCellWidget::reportSessions()
{
    showTradeDayControls(true);
    addButton->hide();
    const int flags = checkedSessionFlags();
    isTradeDay = flags != TradingDay::NoSession;
    if (isTradeDay) {
        deliverEvent(TradingDay::DaySetEvent, 0, flags, dateText, nullptr);
    } else {
        deliverEvent(TradingDay::DayClearedEvent, 1, hasNightSession() ? 0 : 1, dateText, nullptr);
    }
}

void CCalenderCellWidget::showTradeDayControls(bool visible)
{
    tradeDayText->setVisible(visible);
    deleteButton->setVisible(visible);
    daySessionCheckBox->setVisible(visible);
    nightSessionCheckBox->setVisible(visible && hasNightSession());
}

bool CCalenderCellWidget::hasNightSession() const
{
    return marketType == ttservice::EZR_MarketDomestic;
}

int CCalenderCellWidget::defaultSessionFlags() const
{
    return TradingDay::defaultSessionFlags(marketType);
}

int CCalenderCellWidget::checkedSessionFlags() const
{
    return (daySessionCheckBox->isChecked() ? TradingDay::DaySession : TradingDay::NoSession) |
           (nightSessionCheckBox->isChecked() ? TradingDay::NightSession : TradingDay::NoSession);
}

bool CCalenderCellWidget::askOperator(const QString& question)
{
    const QMessageBox::StandardButton answer =
        XP::CMessageBox::question(this, QStringLiteral("操作提示"), question,
                                  QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoButton);
    return answer == QMessageBox::Ok;
}

} // namespace IMC
