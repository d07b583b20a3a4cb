#pragma once

#include <QAccessibleWidget>

namespace XP {

// What assistive tools see of the framework's light controls: their role, their current text and, for a
// check box, its state. Installed as an accessibility factory, it also spares the toolkit its long search
// by class name each time one of the many small controls appears.
class CAccessibleControl : public QAccessibleWidget
{
public:
    CAccessibleControl(QWidget* widget, QAccessible::Role role);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

    // The factory: an interface for the framework's own light controls, null for everything else.
    static QAccessibleInterface* create(const QString& className, QObject* object);
    static void install();
};

} // namespace XP
