#pragma once

#include "widgets/CBaseWidget.h"

#include <QList>
#include <QString>

#include <functional>

struct SBusEvent
{
    int type;
    int id;
    int param;
    QString text;
};

// An owner on the event bus that keeps every event it is handed. It consumes them, or passes them on up
// to its own owner when built with consume false.
class CRecordingOwner : public XP::CBaseWidget
{
public:
    explicit CRecordingOwner(QWidget* parent = nullptr, bool consume = true)
        : XP::CBaseWidget(QStringLiteral("recording_owner"), false, parent)
        , consume(consume)
    {}

    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        events.append({type, id, param, text});
        if (onEvent) {
            onEvent(events.last());
        }
        return consume || XP::CBaseWidget::handleEvent(type, id, param, text, data);
    }

    QList<SBusEvent> events;
    std::function<void(const SBusEvent&)> onEvent;
    bool consume;
};
