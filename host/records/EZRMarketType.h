#pragma once

namespace ttservice {

// Market kinds of the trading-day service, carried as a plain int in records and requests.
enum EZRMarketType
{
    EZR_MarketDomestic = 0,
    EZR_MarketHKConnect = 1,
    EZR_MarketReserved = 2,
    EZR_MarketElectronic = 3,
    EZR_MarketOverseas = 4
};

} // namespace ttservice
