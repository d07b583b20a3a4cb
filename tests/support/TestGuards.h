#pragma once

#include <QStringList>

namespace tds {

// Makes every qWarning/qCritical/qFatal that no test expected fail the running test. Messages that
// contain one of allowedFragments are let through (platform noise that says nothing about our code).
void failOnUnexpectedWarnings(const QStringList& allowedFragments = {});

// Fails the running test when top-level widgets other than those that existed at construction are
// still alive at destruction: a dialog or box that was never closed or deleted.
class TopLevelWidgetGuard
{
public:
    TopLevelWidgetGuard();
    ~TopLevelWidgetGuard();
    int leakedCount() const;

private:
    int initialCount;
};

} // namespace tds
