#include "widgets/CBaseDialog.h"

namespace XP {

CBaseDialog::CBaseDialog(QWidget* parent, Qt::WindowFlags flags)
    : CEventWidgetT<QDialog>(parent, flags)
{}

bool CBaseDialog::handleEvent(int, int, int, QString, void*)
{
    return false;
}

} // namespace XP
