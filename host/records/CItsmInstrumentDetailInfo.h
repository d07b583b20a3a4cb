#pragma once

#include <string>

namespace ttservice {

// Descriptive fields of one instrument.
class CItsmInstrumentDetailInfo
{
public:
    std::string instrumentCode;
    std::string instrumentName;
    std::string exchangeName;
    std::string exchangeCode;

    bool operator==(const CItsmInstrumentDetailInfo& other) const;
};

} // namespace ttservice
