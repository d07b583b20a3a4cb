#include "TestGuards.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <cstdio>

namespace tds {
namespace {

QStringList& allowedWarnings()
{
    static QStringList fragments;
    return fragments;
}

void failingMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return;
    }
    for (const QString& fragment : allowedWarnings()) {
        if (message.contains(fragment)) {
            return;
        }
    }
    std::fprintf(stderr, "unexpected Qt message: %s (%s:%d)\n", qPrintable(message),
                 context.file ? context.file : "?", context.line);
    QTest::qFail(qPrintable(QStringLiteral("unexpected Qt message: ") + message),
                 context.file ? context.file : "", context.line);
}

} // namespace

void failOnUnexpectedWarnings(const QStringList& allowedFragments)
{
    allowedWarnings() = allowedFragments;
    // The offscreen platform has no window manager to take size hints; that says nothing about our code.
    allowedWarnings() << QStringLiteral("does not support propagateSizeHints");
    qInstallMessageHandler(failingMessageHandler);
}

TopLevelWidgetGuard::TopLevelWidgetGuard()
    : initialCount(QApplication::topLevelWidgets().size())
{}

TopLevelWidgetGuard::~TopLevelWidgetGuard()
{
    if (leakedCount() > 0) {
        QTest::qFail("top-level widgets were left behind", __FILE__, __LINE__);
    }
}

int TopLevelWidgetGuard::leakedCount() const
{
    return QApplication::topLevelWidgets().size() - initialCount;
}

} // namespace tds
