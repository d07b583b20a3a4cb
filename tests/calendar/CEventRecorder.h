#pragma once

#include "widgets/CBaseWidget.h"

#include <QList>
#include <QString>

namespace tds {

// An owner on the event bus that keeps every event its children deliver, in order.
class CEventRecorder : public XP::CBaseWidget
{
    Q_OBJECT
public:
    struct SEvent
    {
        int type;
        int id;
        int param;
        QString text;
        bool hasData;
    };

    explicit CEventRecorder(QWidget* parent = nullptr);

    const QList<SEvent>& events() const { return received; }
    void clear() { received.clear(); }

protected:
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

private:
    QList<SEvent> received;
};

} // namespace tds
