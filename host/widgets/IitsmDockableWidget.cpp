#include "widgets/IitsmDockableWidget.h"

namespace IMC {

IitsmDockableWidget::IitsmDockableWidget(bool fillBackground, const QString& name, QWidget* parent, bool)
    : XP::CBaseWidget(name, fillBackground, parent)
{}

void IitsmDockableWidget::switchSystem(int, QString) {}

} // namespace IMC
