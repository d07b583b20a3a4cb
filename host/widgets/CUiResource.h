#pragma once

#include "widgets/CUiResourceChangeHandler.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>

#include <boost/intrusive/list.hpp>

namespace XP {

// The theme: colours by key, fonts by size step and the display scale. One instance per process.
class CUiResource
{
public:
    static CUiResource* instance();

    // Colour of a theme key; an unknown key gives a loud magenta so that it is seen at once.
    QColor getColor(const QString& key) const;
    bool hasColor(const QString& key) const;

    // Step 0 is the standard text (12 px at scale 1); each step above adds one pixel.
    QFont font(int size) const;
    const QFontMetrics& fontMetrics(int size) const;

    double scale() const { return currentScale; }
    // Stores the scale, drops cached fonts and calls scaleChanged() on every live handler.
    void setScale(double scale);

    void addHandler(CUiResourceChangeHandler* handler);
    int handlerCount() const;

    static QString fontFamily();

private:
    CUiResource();

    using HandlerList =
        boost::intrusive::list<CUiResourceChangeHandler, boost::intrusive::constant_time_size<false>>;

    QHash<QString, QColor> colors;
    mutable QHash<int, QFont> fonts;
    mutable QHash<int, QFontMetrics> metrics;
    double currentScale = 1.0;
    HandlerList handlers;
};

} // namespace XP
