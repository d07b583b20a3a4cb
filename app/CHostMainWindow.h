#pragma once

#include <QMainWindow>
#include <QStringList>

class QComboBox;

namespace IMC {

class CSystemTradingDayPanel;

// The desktop host: docks the trading-day panel, lets the operator switch the back-end system and
// shows the host's notifications in its status bar.
class CHostMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    CHostMainWindow(const QStringList& systemNames, QWidget* parent = nullptr);

    CSystemTradingDayPanel* panel() const { return tradingDayPanel; }

    // Shows the page (0 domestic .. 3 overseas) and activates it, as the host does for a docked panel.
    void showPanelPage(int pageIndex);

    // Renders the window into path once every request the shown page sent has been answered; emits
    // sigScreenshotTaken with whether the file was written.
    void takeScreenshotWhenSettled(const QString& path);

signals:
    void sigScreenshotTaken(bool written);
    void sigFirstPaint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void slotSystemChosen(int index);
    void slotServerMessage(int type, bool success, QString title, QString text);

    QComboBox* systemCombo;
    bool painted = false;
    CSystemTradingDayPanel* tradingDayPanel;
};

} // namespace IMC
