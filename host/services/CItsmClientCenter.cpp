#include "services/CItsmClientCenter.h"

#include "services/CServerMessageToast.h"
#include "services/CUserManager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>

#include <boost/make_shared.hpp>

#include <algorithm>

template<> IMC::CItsmClientCenter* utils::CSingletonT<IMC::CItsmClientCenter>::instance()
{
    static IMC::CItsmClientCenter center;
    return &center;
}

namespace IMC {

namespace {

std::string unreachableText(const std::string& name)
{
    return name.empty() ? std::string("未选择系统") : "系统 " + name + " 不存在";
}

bool onGuiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

CItsmClientCenter::CItsmClientCenter()
{
    // The signal belongs to the GUI thread even when the first caller is a worker.
    if (QCoreApplication::instance()) {
        moveToThread(QCoreApplication::instance()->thread());
    }
}

CItsmClientCenter::~CItsmClientCenter() = default;

void CItsmClientCenter::registerSystem(const std::string& name, std::shared_ptr<ITradingDayBackend> backend)
{
    std::lock_guard<std::mutex> lock(mutex);
    clients[name] = boost::make_shared<CItsmClient>(name, std::move(backend));
    unreachableClients.erase(name);
    if (std::find(registrationOrder.begin(), registrationOrder.end(), name) == registrationOrder.end()) {
        registrationOrder.push_back(name);
    }
    if (current.empty()) {
        current = name;
    }
}

void CItsmClientCenter::setCurrentSystem(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex);
    current = name;
}

std::vector<std::string> CItsmClientCenter::systemNames() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return registrationOrder;
}

boost::shared_ptr<CItsmClient> CItsmClientCenter::getClientByName(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex);
    const std::string systemName = name.empty() ? current : name;
    const auto known = clients.find(systemName);
    if (known != clients.end()) {
        return known->second;
    }
    boost::shared_ptr<CItsmClient>& unreachable = unreachableClients[systemName];
    if (!unreachable) {
        unreachable = boost::make_shared<CItsmClient>(systemName, unreachableText(systemName));
    }
    return unreachable;
}

void CItsmClientCenter::operateData_async(
    const boost::shared_ptr<ttservice::COperateDataReq>& request,
    const boost::function<void(const utils::TTError&, bson::BSONObj)>& callback, unsigned char flag)
{
    const std::string operatorName = utils::CSingletonT<CUserManager>::instance()->userName();
    getClientByName(std::string())->operateData_async(request, callback, operatorName);
}

void CItsmClientCenter::showServerMsgCallBack(EServerCallbackMsgType type, bool success, QWidget* parent,
                                              const QString& title, const QString& message, bool autoClose,
                                              bool modal)
{
    CServerMessage shown;
    shown.type = type;
    shown.success = success;
    shown.parent = parent;
    shown.title = title;
    shown.text = message;
    if (!QCoreApplication::instance() || onGuiThread()) {
        recordServerMessage(shown);
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [this, shown] { recordServerMessage(shown); }, Qt::QueuedConnection);
}

QList<CServerMessage> CItsmClientCenter::serverMessages() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return messages;
}

void CItsmClientCenter::clearServerMessages()
{
    std::lock_guard<std::mutex> lock(mutex);
    messages.clear();
}

void CItsmClientCenter::closeAllSystems()
{
    // The clients go outside the lock: their queues finish first, and callbacks may call the center.
    std::map<std::string, boost::shared_ptr<CItsmClient>> droppedClients;
    std::map<std::string, boost::shared_ptr<CItsmClient>> droppedUnreachable;
    {
        std::lock_guard<std::mutex> lock(mutex);
        droppedClients.swap(clients);
        droppedUnreachable.swap(unreachableClients);
        registrationOrder.clear();
        current.clear();
    }
}

void CItsmClientCenter::resetForTests()
{
    closeAllSystems();
    clearServerMessages();
}

void CItsmClientCenter::recordServerMessage(const CServerMessage& message)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        messages.append(message);
    }
    emit sigServerMessage(message.type, message.success, message.title, message.text);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        showToast(message);
    }
}

void CItsmClientCenter::showToast(const CServerMessage& message)
{
    auto* toast = new CServerMessageToast(message.title, message.text, message.success);
    toast->popUp(message.parent);
}

} // namespace IMC
