#include "services/CItsmDataManager.h"

#include "services/CItsmClientCenter.h"

#include <QCoreApplication>
#include <QMetaObject>

template<> IMC::CItsmDataManager* utils::CSingletonT<IMC::CItsmDataManager>::instance()
{
    static IMC::CItsmDataManager manager;
    return &manager;
}

namespace IMC {

namespace {

void answerOnGuiThread(const boost::shared_ptr<CQueryReq>& request, const utils::TTError& error,
                       const CItsmClient::Records& records)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        return;
    }
    QMetaObject::invokeMethod(
        application,
        [request, error, records] {
            if (request->hasParent() && !request->parent()) {
                return;
            }
            if (request->callback()) {
                request->callback()(request, error.isSuccess(), QString::fromStdString(error.errorMsg()),
                                    records, request->dataKind());
            }
        },
        Qt::QueuedConnection);
}

} // namespace

void CItsmDataManager::queryData(const boost::shared_ptr<CQueryReq>& request, bool cached)
{
    if (!request) {
        return;
    }
    boost::shared_ptr<CItsmClient> client =
        utils::CSingletonT<CItsmClientCenter>::instance()->getClientByName({});
    client->queryReference_async(request->dataKind(), request->queryParam,
                                 [request](const utils::TTError& error, const CItsmClient::Records& records) {
                                     answerOnGuiThread(request, error, records);
                                 });
}

} // namespace IMC
