#pragma once

#include <QMessageBox>

namespace XP {

// The host's message display: modal boxes that return the pressed button. While CMessageBoxScript is
// enabled nothing is shown and the script answers.
class CMessageBox
{
public:
    static QMessageBox::StandardButton
    information(QWidget* parent, const QString& title, const QString& text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, int buttonStyle = 0,
                bool flag = false);
    static QMessageBox::StandardButton
    warning(QWidget* parent, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, int buttonStyle = 0,
            bool flag = false);
    static QMessageBox::StandardButton
    question(QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton, int buttonStyle = 0,
             bool flag = false);

    // The button a box answers when closed without a choice: the default, else the first of buttons.
    static QMessageBox::StandardButton fallbackAnswer(QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton);

private:
    static QMessageBox::StandardButton show(const QString& kind, QMessageBox::Icon icon, QWidget* parent,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);
};

} // namespace XP
