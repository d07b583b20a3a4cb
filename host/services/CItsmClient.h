#pragma once

#include "records/BSONObj.h"
#include "records/COperateDataReq.h"
#include "records/IData.h"
#include "services/CSeenRevisions.h"
#include "services/CSerialWorker.h"
#include "services/ITradingDayBackend.h"
#include "utils/TTError.h"

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>
#include <vector>

namespace IMC {

// The connection to one back-end system.
//
// Threads: every call returns at once. The request runs on the client's own worker thread, and the
// callback is invoked on that worker thread (never the GUI thread), once per request, in request
// order. Callbacks must not touch widgets: copy the result and emit a signal with an automatic
// connection. Records given to callbacks are deep copies, owned by nobody else.
class CItsmClient
{
public:
    typedef std::vector<boost::shared_ptr<ttservice::IData>> Records;
    typedef boost::function<void(const utils::TTError&, const Records&, int, bson::BSONObj)> QueryCallback;
    typedef boost::function<void(const utils::TTError&, bson::BSONObj)> OperateCallback;
    typedef boost::function<void(const utils::TTError&, const Records&)> ReferenceCallback;

    // A client of a system served by backend.
    CItsmClient(std::string systemName, std::shared_ptr<ITradingDayBackend> backend);
    // A client of a system that cannot be reached: every request fails with failureText.
    CItsmClient(std::string systemName, std::string failureText);
    ~CItsmClient();
    CItsmClient(const CItsmClient&) = delete;
    CItsmClient& operator=(const CItsmClient&) = delete;

    // request must be a ttservice::CItsmQueryDataReq; anything else is answered with a failure. The
    // callback's int is the number of records answered; the document carries "systemName".
    void queryData_async(const boost::shared_ptr<ttservice::IData>& request, const QueryCallback& callback,
                         unsigned char flag);
    void operateData_async(const boost::shared_ptr<ttservice::COperateDataReq>& request,
                           const OperateCallback& callback, const std::string& operatorName);
    void queryReference_async(int dataKind, const std::string& queryParam, const ReferenceCallback& callback);

    // Test seam: held requests wait, then run in order on release.
    void holdAnswers();
    void releaseAnswers();
    // True once every request sent so far has been answered; false after milliseconds.
    bool waitUntilIdle(int milliseconds);

private:
    static bson::BSONObj replyDocument(const std::string& name);

    std::string name;
    std::shared_ptr<ITradingDayBackend> backend;
    std::string failureText;
    // What this desk has seen of the system's store; touched only by the worker's tasks.
    std::shared_ptr<CSeenRevisions> seen = std::make_shared<CSeenRevisions>();
    // Last, so that it is destroyed first and its queued tasks run while everything else still exists.
    CSerialWorker worker;
};

} // namespace IMC
