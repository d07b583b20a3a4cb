#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

namespace XP {

// One call of CMessageBox as CMessageBoxScript recorded it.
struct CMessageBoxCall
{
    QString kind; // "information", "warning" or "question"
    QPointer<QWidget> parent;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
};

} // namespace XP
