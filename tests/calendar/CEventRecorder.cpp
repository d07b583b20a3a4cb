#include "CEventRecorder.h"

namespace tds {

CEventRecorder::CEventRecorder(QWidget* parent)
    : XP::CBaseWidget(QStringLiteral("event_recorder"), false, parent)
{}

bool CEventRecorder::handleEvent(int type, int id, int param, QString text, void* data)
{
    received.append({type, id, param, text, data != nullptr});
    return true;
}

} // namespace tds
