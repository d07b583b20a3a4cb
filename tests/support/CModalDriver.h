#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QWidget;

namespace tds {

// Drives modal widgets as a person would: polls for the active modal widget on the GUI thread and, once
// one appears that was not the active one when the driver was armed, hands it to the action. Used for
// QFileDialog, CCommonDialog::exec() and any other exec() that must not block a test.
class CModalDriver : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void(QWidget* modal)>;

    explicit CModalDriver(QObject* parent = nullptr);

    // Runs action on the next modal widget that shows up; one action per arm() call, in order.
    void arm(Action action);
    int pendingCount() const { return actions.size(); }
    int handledCount() const { return handled; }

private:
    void poll();

    QTimer timer;
    QList<Action> actions;
    QPointer<QWidget> lastHandled;
    int handled = 0;
};

} // namespace tds
