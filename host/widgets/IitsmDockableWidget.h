#pragma once

#include "widgets/CBaseWidget.h"
#include "widgets/IDockableWidget.h"

namespace IMC {

// The base of the host's dockable panels: a framework widget that follows the current back-end system.
class IitsmDockableWidget : public XP::CBaseWidget, public XP::IDockableWidget
{
    Q_OBJECT
public:
    // fillBackground as CBaseWidget; closable: the dock offers a close control for the panel.
    IitsmDockableWidget(bool fillBackground, const QString& name, QWidget* parent, bool closable);

    // Remembers the system; panels override it and call the base first.
    virtual void switchSystem(int index, QString systemName);
    int currentSystemIndex() const { return systemIndex; }
    QString currentSystemName() const { return systemName; }
    bool isClosable() const { return closable; }

    void setParam(const QString& param) override;
    QString param() const override;

private:
    bool closable;
    int systemIndex = -1;
    QString systemName;
    QString paramText;
};

} // namespace IMC
