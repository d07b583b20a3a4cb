#include "services/ITradingDayBackend.h"

namespace IMC {

ITradingDayBackend::~ITradingDayBackend() = default;

utils::TTError ITradingDayBackend::queryTracked(const ttservice::CItsmQueryDataReq& request,
                                                std::vector<boost::shared_ptr<ttservice::IData>>& records,
                                                CSeenRevisions& /*seen*/)
{
    return query(request, records);
}

utils::TTError ITradingDayBackend::operateChecked(const ttservice::COperateDataReq& request,
                                                  const std::string& operatorName, CSeenRevisions& /*seen*/)
{
    return operate(request, operatorName);
}

} // namespace IMC
