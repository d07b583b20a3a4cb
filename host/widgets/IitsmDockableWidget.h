#pragma once

#include "widgets/CBaseWidget.h"
#include "widgets/IDockableWidget.h"

namespace IMC {

// The base of the host's dockable panels: a framework widget that follows the current back-end system.
class IitsmDockableWidget : public XP::CBaseWidget, public XP::IDockableWidget
{
    Q_OBJECT
public:
    // fillBackground as CBaseWidget; closable: whether the host's dock offers a close control for the panel,
    // which this stand-in has no dock to offer.
    IitsmDockableWidget(bool fillBackground, const QString& name, QWidget* parent, bool closable);

    // The host tells the panel the current back-end system; panels override it.
    virtual void switchSystem(int index, QString systemName);
};

} // namespace IMC
