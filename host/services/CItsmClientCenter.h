#pragma once

#include "records/BSONObj.h"
#include "records/COperateDataReq.h"
#include "services/CItsmClient.h"
#include "services/CServerMessage.h"
#include "services/EServerCallbackMsgType.h"
#include "services/ITradingDayBackend.h"
#include "utils/CSingletonT.h"
#include "utils/TTError.h"

#include <QList>
#include <QObject>
#include <QString>

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QWidget;

namespace IMC {

// The host's registry of back-end systems and their clients (one client per system name).
//
// Threads: the registry functions may be called from any thread. operateData_async returns at once;
// its callback runs on the current system's client worker thread. showServerMsgCallBack belongs to
// the GUI thread (from another thread it is forwarded there); sigServerMessage is emitted on the GUI
// thread.
class CItsmClientCenter : public QObject
{
    Q_OBJECT

public:
    CItsmClientCenter();
    ~CItsmClientCenter() override;

    // Adds or replaces a system. The first system registered becomes the current one.
    void registerSystem(const std::string& name, std::shared_ptr<ITradingDayBackend> backend);
    void setCurrentSystem(const std::string& name);
    std::vector<std::string> systemNames() const;

    // The client of name; an empty name means the current system. An unknown name gives a client that
    // answers every request with the failure "系统 <name> 不存在".
    boost::shared_ptr<CItsmClient> getClientByName(const std::string& name);

    // Sends an operation to the current system, as the operator CUserManager names.
    void operateData_async(const boost::shared_ptr<ttservice::COperateDataReq>& request,
                           const boost::function<void(const utils::TTError&, bson::BSONObj)>& callback,
                           unsigned char flag);

    // Shows an operation's outcome without blocking: records it, emits sigServerMessage and, on a
    // real display, shows a self-closing toast near parent's window.
    void showServerMsgCallBack(EServerCallbackMsgType type, bool success, QWidget* parent,
                               const QString& title, const QString& message, bool autoClose, bool modal);
    QList<CServerMessage> serverMessages() const;
    void clearServerMessages();

    // Forgets every system and client once their queues are done. The application calls it before Qt goes
    // down, since a back end may hold Qt resources (a Qt SQL connection).
    void closeAllSystems();
    // Forgets every system, client and message.
    void resetForTests();

signals:
    void sigServerMessage(int type, bool success, QString title, QString text);

private:
    void recordServerMessage(const CServerMessage& message);
    void showToast(const CServerMessage& message);

    mutable std::mutex mutex;
    std::map<std::string, boost::shared_ptr<CItsmClient>> clients;
    std::map<std::string, boost::shared_ptr<CItsmClient>> unreachableClients;
    std::vector<std::string> registrationOrder;
    std::string current;
    QList<CServerMessage> messages;
};

} // namespace IMC

template<> IMC::CItsmClientCenter* utils::CSingletonT<IMC::CItsmClientCenter>::instance();
