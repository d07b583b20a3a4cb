#pragma once

namespace XP {

// How a column filter of IBaseHpfTableModel matches a row's filter text against its set of values. A row
// passes a column's filter when its text matches at least one value of the set.
enum EFilterType
{
    eFilterEquals = 0,   // the text equals a value exactly (case-sensitive)
    eFilterContains = 1, // the text contains a value, ignoring case
};

} // namespace XP
