#pragma once

#include "widgets/CEventWidgetT.h"

#include <QDialog>

namespace XP {

// The base of the framework's dialogs. Events of a dialog's children end at the dialog: its handleEvent
// consumes nothing and never passes anything on to the page behind it.
class CBaseDialog : public CEventWidgetT<QDialog>
{
    Q_OBJECT
public:
    explicit CBaseDialog(QWidget* parent, Qt::WindowFlags flags = {});

    bool handleEvent(int type, int id, int param, QString text, void* data) override;
};

} // namespace XP
