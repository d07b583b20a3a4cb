#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace IMC {

// One outcome shown through CItsmClientCenter::showServerMsgCallBack.
class CServerMessage
{
public:
    int type = 0;
    bool success = false;
    QPointer<QWidget> parent;
    QString title;
    QString text;
};

} // namespace IMC
