#pragma once

#include "widgets/CBaseWidget.h"

#include <QStringList>

#include <functional>

// An owner on the event bus that writes down every event it is handed as "type|id|param|text", followed by
// "|" and what note() tells at that moment when a note is set. It consumes the events, or passes them on
// up to its own owner when built with consume false.
class CRecordingOwner : public XP::CBaseWidget
{
public:
    explicit CRecordingOwner(QWidget* parent = nullptr, bool consume = true)
        : XP::CBaseWidget(QStringLiteral("recording_owner"), false, parent)
        , consume(consume)
    {}

    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        QString entry = QStringLiteral("%1|%2|%3|%4").arg(type).arg(id).arg(param).arg(text);
        events << (note ? entry + QLatin1Char('|') + note() : entry);
        return consume || XP::CBaseWidget::handleEvent(type, id, param, text, data);
    }

    QStringList events;
    std::function<QString()> note;
    bool consume;
};
