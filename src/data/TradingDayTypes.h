#pragma once

#include <string>

// Values the trading-day panel exchanges with the host and between its own widgets.
namespace IMC {
namespace TradingDay {

// Data kinds of the host data service.
enum EDataKind
{
    TradeDatesKind = 12306,
    TracksKind = 12262,
    InstrumentDetailsKind = 12482
};

// Operations of a trade-date operation request.
enum EOperation
{
    SaveOperation = 1,
    DeleteOperation = 3
};

// Session flags: a bit mask of the sessions a trading day holds.
enum ESessionFlag
{
    NoSession = 0,
    DaySession = 1,
    NightSession = 2,
    BothSessions = DaySession | NightSession
};

// Event types of the framework's event bus that the panel raises or handles.
enum EEventType
{
    ButtonClickedEvent = 5,
    CheckBoxToggledEvent = 66,
    ComboChangedEvent = 75,
    EnterPressedEvent = 102,
    PanelHostEvent = 132,
    RowButtonEvent = 228,
    DaySetEvent = 3027,
    DayClearedEvent = 3028,
    UploadReadyEvent = 3029
};

// Id a common dialog reports when the operator closes it by its frame.
constexpr int DialogFrameCloseId = 101;

// Right that allows trading-day maintenance (saving).
constexpr int MaintenanceRight = 10615;

// Market types (ttservice::EZRMarketType values).
constexpr int DomesticMarket = 0;
constexpr int HkConnectMarket = 1;
constexpr int OtherMarket = 2;
constexpr int ElectronicMarket = 3;
constexpr int OverseasMarket = 4;

// Platform parameters narrowing a market type.
extern const std::string FuturesPlatformParam;      // "14"
extern const std::string InterestRatePlatformParam; // "15"
extern const std::string OverseasPlatformParam;     // "WP"

// Sessions a new trading day gets: both on the domestic market (the only one with a night session).
int defaultSessionFlags(int marketType);

} // namespace TradingDay
} // namespace IMC
