#include "services/CItsmClient.h"

#include "records/CItsmQueryDataReq.h"

#include <boost/make_shared.hpp>

#include <utility>

namespace IMC {

namespace {

const int FailureCode = -1;

CItsmClient::Records deepCopies(const CItsmClient::Records& records)
{
    CItsmClient::Records copies;
    copies.reserve(records.size());
    for (const auto& record : records) {
        copies.push_back(record ? record->copy() : record);
    }
    for (std::size_t offset = 0; offset < copies.size(); ++offset) {
        if (copies[offset]) {
            copies[offset]->setOffset(static_cast<int>(offset));
        }
    }
    return copies;
}

} // namespace

CItsmClient::CItsmClient(std::string systemName, std::shared_ptr<ITradingDayBackend> backend)
    : name(std::move(systemName))
    , backend(std::move(backend))
{}

CItsmClient::CItsmClient(std::string systemName, std::string failureText)
    : name(std::move(systemName))
    , failureText(std::move(failureText))
{}

CItsmClient::~CItsmClient() = default;

void CItsmClient::queryData_async(const boost::shared_ptr<ttservice::IData>& request,
                                  const QueryCallback& callback, unsigned char flag)
{
    auto query = boost::dynamic_pointer_cast<ttservice::CItsmQueryDataReq>(request);
    boost::shared_ptr<ttservice::CItsmQueryDataReq> copy;
    if (query) {
        copy = boost::static_pointer_cast<ttservice::CItsmQueryDataReq>(query->copy());
    }
    worker.post([backend = backend, seen = seen, failureText = failureText, name = name, copy, callback] {
        Records records;
        utils::TTError error;
        if (!backend) {
            error = utils::TTError(FailureCode, failureText);
        } else if (!copy) {
            error = utils::TTError(FailureCode, "请求不是交易日查询请求");
        } else {
            error = backend->queryTracked(*copy, records, *seen);
        }
        const Records answer = error.isSuccess() ? deepCopies(records) : Records();
        if (callback) {
            callback(error, answer, static_cast<int>(answer.size()), replyDocument(name));
        }
    });
}

void CItsmClient::operateData_async(const boost::shared_ptr<ttservice::COperateDataReq>& request,
                                    const OperateCallback& callback, const std::string& operatorName)
{
    boost::shared_ptr<ttservice::COperateDataReq> copy;
    if (request) {
        copy = boost::static_pointer_cast<ttservice::COperateDataReq>(request->copy());
    }
    worker.post([backend = backend, seen = seen, failureText = failureText, name = name, copy, callback,
                 operatorName] {
        utils::TTError error;
        if (!backend) {
            error = utils::TTError(FailureCode, failureText);
        } else if (!copy) {
            error = utils::TTError(FailureCode, "操作请求为空");
        } else {
            error = backend->operateChecked(*copy, operatorName, *seen);
        }
        if (callback) {
            callback(error, replyDocument(name));
        }
    });
}

void CItsmClient::queryReference_async(int dataKind, const std::string& queryParam,
                                       const ReferenceCallback& callback)
{
    worker.post([backend = backend, failureText = failureText, dataKind, queryParam, callback] {
        Records records;
        utils::TTError error;
        if (!backend) {
            error = utils::TTError(FailureCode, failureText);
        } else {
            error = backend->queryReference(dataKind, queryParam, records);
        }
        if (callback) {
            callback(error, error.isSuccess() ? deepCopies(records) : Records());
        }
    });
}

void CItsmClient::holdAnswers()
{
    worker.hold();
}

void CItsmClient::releaseAnswers()
{
    worker.release();
}

bool CItsmClient::waitUntilIdle(int milliseconds)
{
    return worker.waitUntilIdle(milliseconds);
}

bson::BSONObj CItsmClient::replyDocument(const std::string& name)
{
    bson::BSONObj document;
    document.append("systemName", name);
    return document;
}

} // namespace IMC
