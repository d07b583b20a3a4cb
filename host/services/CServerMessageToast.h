#pragma once

#include <QString>
#include <QWidget>

namespace IMC {

// A small frameless note near a window that closes and deletes itself after a few seconds.
class CServerMessageToast : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DisplayMilliseconds = 3000;

    CServerMessageToast(const QString& title, const QString& text, bool success);

    // Shows the toast at the bottom right of anchor's window, or of the primary screen without one.
    void popUp(QWidget* anchor);
};

} // namespace IMC
