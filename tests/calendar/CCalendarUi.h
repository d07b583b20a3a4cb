#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace XP {
class CCheckBox;
class CSimpleTextWidget;
class CSmallNormalButton;
class CStandardSimpleTable;
} // namespace XP

namespace IMC {
class CCalenderCellWidget;
}

namespace tds {

// Finds the controls of a calendar page or day cell the way an operator sees them (by text, by position
// in the day table) and works them with the mouse, so that tests read like the operator's actions.
class CCalendarUi
{
public:
    static XP::CSmallNormalButton* button(const QWidget* root, const QString& text);
    static XP::CCheckBox* checkBox(const QWidget* root, const QString& text);
    // The first text widget whose text starts with prefix.
    static XP::CSimpleTextWidget* text(const QWidget* root, const QString& prefix);

    // Clicks the control as a person would; false when it is missing or not on screen.
    static bool click(QWidget* control);
    static bool clickButton(const QWidget* root, const QString& text);
    static bool clickCheckBox(const QWidget* root, const QString& text);

    static XP::CStandardSimpleTable* dayTable(const QWidget* page);
    // The cell of a date text ("yyyy-MM-dd") of the shown table, or null.
    static IMC::CCalenderCellWidget* cell(const QWidget* page, const QString& date);
    // Date texts of the 42 cells, row by row.
    static QStringList shownDates(const QWidget* page);
    // The year and month the page's label shows, e.g. "2026年8月".
    static QString monthLabel(const QWidget* page);

    // What the operator sees in a cell: the day number followed by the visible controls, among "trade"
    // (the trading-day text), "X", "+", "day" and "night" (a "*" marks a checked box).
    static QString describe(const IMC::CCalenderCellWidget* cell);
};

} // namespace tds
