#pragma once

#include <string>

namespace IMC {

// A reference-data query as a back end received it.
class CReceivedReferenceQuery
{
public:
    int dataKind = 0;
    std::string queryParam;
};

} // namespace IMC
