#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace XP {

// The handle of one tab of a CStandardTabControl, owned by the control.
class CBaseTabPage
{
public:
    CBaseTabPage(const QString& title, QWidget* page, void* customButtons);

    QWidget* page() const { return pageWidget; }
    QString title() const { return pageTitle; }
    void setTitle(const QString& title) { pageTitle = title; }
    // The host's description of extra buttons on the tab, passed through untouched.
    void* customButtons() const { return buttons; }

private:
    QString pageTitle;
    QPointer<QWidget> pageWidget;
    void* buttons;
};

} // namespace XP
