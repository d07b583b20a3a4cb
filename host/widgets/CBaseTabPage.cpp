#include "widgets/CBaseTabPage.h"

namespace XP {

CBaseTabPage::CBaseTabPage(const QString& title, QWidget* page, void* customButtons)
    : pageTitle(title)
    , pageWidget(page)
    , buttons(customButtons)
{}

} // namespace XP
