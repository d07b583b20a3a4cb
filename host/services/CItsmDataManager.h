#pragma once

#include "services/CQueryReq.h"
#include "utils/CSingletonT.h"

#include <boost/shared_ptr.hpp>

namespace IMC {

// Reference-data queries of the current system.
//
// Threads: queryData is called on the GUI thread and returns at once. The query runs on the current
// system's client worker; the request's callback then runs on the GUI thread (the thread of qApp),
// unless the request's parent was destroyed meanwhile, in which case the answer is dropped.
class CItsmDataManager
{
public:
    void queryData(const boost::shared_ptr<CQueryReq>& request, bool cached);
};

} // namespace IMC

template<> IMC::CItsmDataManager* utils::CSingletonT<IMC::CItsmDataManager>::instance();
