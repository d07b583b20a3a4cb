#pragma once

#include <boost/optional.hpp>

#include <map>
#include <string>
#include <tuple>

namespace IMC {

// What one desk has seen of a store that many desks share: for each market and overseas exchange, the
// revision the store's last answer about it reflected. A desk's saves and deletes carry it, so that a store
// keeping revisions can refuse an operation based on an older state than the current one. Each client keeps
// one for its system and uses it on its worker thread only.
class CSeenRevisions
{
public:
    // A market 0 to 3 (platformParam "14" or "15" on market 3, empty otherwise) or, on market 4, the
    // overseas exchange named.
    struct Subject
    {
        int marketType = 0;
        std::string platformParam;
        std::string exchangeName;

        // What a request about marketType is about: the exchange on market 4, the platform on market 3, the
        // market alone otherwise.
        static Subject of(int marketType, const std::string& platformParam, const std::string& exchangeName);

        bool operator<(const Subject& other) const
        {
            return std::tie(marketType, platformParam, exchangeName) <
                   std::tie(other.marketType, other.platformParam, other.exchangeName);
        }
    };

    // None when the desk has not seen subject: a market it never read, or an exchange that was not in its
    // last answer of the exchange list.
    boost::optional<long long> revisionOf(const Subject& subject) const;
    // revision 0: seen in the state before the store kept any revision of it.
    void remember(const Subject& subject, long long revision);
    void forget(const Subject& subject);
    // A new answer of the exchange list replaces everything seen of exchanges.
    void forgetExchanges();

private:
    std::map<Subject, long long> seen;
};

} // namespace IMC
