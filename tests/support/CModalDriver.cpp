#include "CModalDriver.h"

#include <QApplication>
#include <QWidget>

namespace tds {

CModalDriver::CModalDriver(QObject* parent)
    : QObject(parent)
{
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &CModalDriver::poll);
}

void CModalDriver::arm(Action action)
{
    // A dialog handled before and closed since may be shown again (a page keeps its upload dialog).
    if (lastHandled && QApplication::activeModalWidget() != lastHandled) {
        lastHandled = nullptr;
    }
    actions.append(std::move(action));
    timer.start();
}

void CModalDriver::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
        lastHandled = nullptr; // the same dialog may be shown again later and is then a new showing
        return;
    }
    if (modal == lastHandled || !modal->isVisible() || actions.isEmpty()) {
        return;
    }
    lastHandled = modal;
    Action action = actions.takeFirst();
    ++handled;
    if (actions.isEmpty()) {
        timer.stop();
    }
    action(modal);
}

} // namespace tds
