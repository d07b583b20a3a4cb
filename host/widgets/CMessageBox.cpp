#include "widgets/CMessageBox.h"

#include "widgets/CMessageBoxScript.h"

namespace XP {

QMessageBox::StandardButton CMessageBox::information(QWidget* parent, const QString& title,
                                                     const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton, int, bool)
{
    return show(QStringLiteral("information"), QMessageBox::Information, parent, title, text, buttons,
                defaultButton);
}

QMessageBox::StandardButton CMessageBox::warning(QWidget* parent, const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton, int, bool)
{
    return show(QStringLiteral("warning"), QMessageBox::Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CMessageBox::question(QWidget* parent, const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton, int, bool)
{
    return show(QStringLiteral("question"), QMessageBox::Question, parent, title, text, buttons,
                defaultButton);
}

QMessageBox::StandardButton CMessageBox::fallbackAnswer(QMessageBox::StandardButtons buttons,
                                                        QMessageBox::StandardButton defaultButton)
{
    if (defaultButton != QMessageBox::NoButton) {
        return defaultButton;
    }
    for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (buttons & bit) {
            return QMessageBox::StandardButton(bit);
        }
    }
    return QMessageBox::NoButton;
}

QMessageBox::StandardButton CMessageBox::show(const QString& kind, QMessageBox::Icon icon, QWidget* parent,
                                              const QString& title, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    if (CMessageBoxScript::isEnabled()) {
        return CMessageBoxScript::answer({kind, parent, title, text, buttons, defaultButton});
    }
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    return pressed == QMessageBox::NoButton ? fallbackAnswer(buttons, defaultButton) : pressed;
}

} // namespace XP
