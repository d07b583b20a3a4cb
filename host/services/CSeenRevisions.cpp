#include "services/CSeenRevisions.h"

#include "records/EZRMarketType.h"

namespace IMC {

CSeenRevisions::Subject CSeenRevisions::Subject::of(int marketType, const std::string& platformParam,
                                                    const std::string& exchangeName)
{
    if (marketType == ttservice::EZR_MarketOverseas) {
        return {marketType, std::string(), exchangeName};
    }
    return {marketType, marketType == ttservice::EZR_MarketElectronic ? platformParam : std::string(),
            std::string()};
}

boost::optional<long long> CSeenRevisions::revisionOf(const Subject& subject) const
{
    const auto found = seen.find(subject);
    if (found == seen.end()) {
        return boost::none;
    }
    return found->second;
}

void CSeenRevisions::remember(const Subject& subject, long long revision)
{
    seen[subject] = revision;
}

void CSeenRevisions::forget(const Subject& subject)
{
    seen.erase(subject);
}

void CSeenRevisions::forgetExchanges()
{
    for (auto entry = seen.begin(); entry != seen.end();) {
        entry =
            entry->first.marketType == ttservice::EZR_MarketOverseas ? seen.erase(entry) : std::next(entry);
    }
}

} // namespace IMC
