#pragma once

#include "records/COperateDataReq.h"

#include <boost/shared_ptr.hpp>

#include <string>

namespace IMC {

// An operation as a back end received it: a deep copy of the request and the operator's name.
class CReceivedOperation
{
public:
    boost::shared_ptr<ttservice::COperateDataReq> request;
    std::string operatorName;
};

} // namespace IMC
