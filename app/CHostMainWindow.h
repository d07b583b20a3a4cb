#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;

namespace IMC {

class CRevisionAnnouncer;
class CRevisionHistoryDialog;
class CSqlTradingDayBackend;
class CSystemTradingDayPanel;
class ITradingDayBackend;

// The desktop host: docks the trading-day panel, lets the operator switch the back-end system, shows the
// host's notifications in its status bar (among them other desks' changes to the current store) and, with
// "修订历史", the revisions the current system's store keeps of the market or exchange the panel shows.
class CHostMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // stores: the back end of each system, in the order of systemNames. "修订历史" is offered only while the
    // current system's store keeps revisions.
    CHostMainWindow(const QStringList& systemNames, std::vector<std::shared_ptr<ITradingDayBackend>> stores,
                    QWidget* parent = nullptr);

    CSystemTradingDayPanel* panel() const { return tradingDayPanel; }

    // Shows the page (0 domestic .. 3 overseas) and activates it, as the host does for a docked panel.
    void showPanelPage(int pageIndex);

    // Opens the revision history of the shown page's market: page 0 market 0, page 1 market 1, page 2
    // market 3 with the platform the page shows, page 3 the exchange selected in the overseas table (the
    // window offers the others). Null when the current store keeps no revisions.
    CRevisionHistoryDialog* openRevisionHistory();

    // Renders the window (or, when one is open, the revision history) into path once every request the
    // shown page and the history sent has been answered; emits sigScreenshotTaken with whether the file was
    // written.
    void takeScreenshotWhenSettled(const QString& path);

signals:
    void sigScreenshotTaken(bool written);
    void sigFirstPaint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void slotSystemChosen(int index);
    void slotServerMessage(int type, bool success, QString title, QString text);
    std::shared_ptr<CSqlTradingDayBackend> revisionStore() const;
    // Market type, platform parameter and exchange name of the page the panel shows.
    int shownMarket(std::string* platformParam, QString* exchangeName) const;
    bool settled() const;

    std::vector<std::shared_ptr<ITradingDayBackend>> stores;
    QComboBox* systemCombo;
    CRevisionAnnouncer* announcer;
    QAction* historyAction;
    QPointer<CRevisionHistoryDialog> historyDialog;
    bool painted = false;
    CSystemTradingDayPanel* tradingDayPanel;
};

} // namespace IMC
