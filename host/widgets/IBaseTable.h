#pragma once

namespace XP {

class IBaseTable
{
public:
    virtual ~IBaseTable() = default;
    // Places rows, columns and item widgets again after their sizes changed, and repaints.
    virtual void updateUi() = 0;
};

} // namespace XP
