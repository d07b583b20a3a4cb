#include "records/CItsmInstrumentDetailInfo.h"

namespace ttservice {

bool CItsmInstrumentDetailInfo::operator==(const CItsmInstrumentDetailInfo& other) const
{
    return instrumentCode == other.instrumentCode && instrumentName == other.instrumentName &&
           exchangeName == other.exchangeName && exchangeCode == other.exchangeCode;
}

} // namespace ttservice
