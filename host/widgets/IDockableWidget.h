#pragma once

#include <QString>

namespace XP {

// What the host's docking system asks of a dockable panel: a parameter string kept between runs.
class IDockableWidget
{
public:
    virtual ~IDockableWidget() = default;
    virtual void setParam(const QString& param) = 0;
    virtual QString param() const = 0;
};

} // namespace XP
