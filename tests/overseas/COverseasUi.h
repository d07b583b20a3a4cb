#pragma once

#include <QString>

class QWidget;

namespace tds {

// Works the overseas exchange table the way an operator does.
class COverseasUi
{
public:
    // Clicks the row button with that text where the table paints it; false when it is not painted there.
    static bool clickRowButton(const QWidget* page, int shownRow, const QString& text);
};

} // namespace tds
