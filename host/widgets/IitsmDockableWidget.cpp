#include "widgets/IitsmDockableWidget.h"

namespace IMC {

IitsmDockableWidget::IitsmDockableWidget(bool fillBackground, const QString& name, QWidget* parent,
                                         bool closable)
    : XP::CBaseWidget(name, fillBackground, parent)
    , closable(closable)
{}

void IitsmDockableWidget::switchSystem(int index, QString name)
{
    systemIndex = index;
    systemName = name;
}

void IitsmDockableWidget::setParam(const QString& param)
{
    paramText = param;
}

QString IitsmDockableWidget::param() const
{
    return paramText;
}

} // namespace IMC
