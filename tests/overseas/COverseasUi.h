#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace XP {
class CComboBox;
class CStandardHpfTable;
} // namespace XP

namespace tds {

// Works the overseas page as an operator would: reads the exchange table as shown and clicks the row
// buttons where they are painted.
class COverseasUi
{
public:
    static XP::CStandardHpfTable* table(const QWidget* page);
    // The shown rows as "name|track".
    static QStringList shownRows(const QWidget* page);
    // Clicks the button with that text in the shown row; false when it is not painted there.
    static bool clickRowButton(const QWidget* page, int shownRow, const QString& text);
    // Puts text into the search field and presses Enter.
    static void search(const QWidget* page, const QString& text);
    static XP::CComboBox* comboById(const QWidget* dialog, int id);
    // "text=data" for every item of a combo box.
    static QStringList comboItems(const XP::CComboBox* combo);
};

} // namespace tds
