#pragma once

#include "TdsExport.h"

#include "widgets/IitsmDockableWidget.h"

#include <QMap>
#include <QString>

class QResizeEvent;

namespace XP {
class CBaseTabPage;
class CScrollArea;
class CStandardTabControl;
} // namespace XP

namespace IMC {

class COverSeaTradingDayWidget;
class CSystemTradingDayWidget;

// The plug-in's entry object: a dockable panel holding one tab page per market kind. Which pages exist
// is decided once, at construction, by the host's module switches; pages are Qt children of the panel.
class TDS_EXPORT CSystemTradingDayPanel : public IitsmDockableWidget
{
public:
    explicit CSystemTradingDayPanel(QWidget* parent = nullptr);
    ~CSystemTradingDayPanel() override;

    void setParam(const QString& param) override;
    QString param() const override;
    void switchSystem(int systemIndex, QString systemName) override;

    // Brings the page with the given page index (0 domestic, 1 HK connect, 2 electronic, 3 overseas) to
    // the front; does nothing for a page that was not built.
    void showPage(int pageIndex);

protected:
    int getTabIndex(XP::CBaseTabPage* tabPage);
    void createUi();
    void resizeEvent(QResizeEvent* event) override;
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

private:
    void addPage(int pageIndex, const QString& title, QWidget* page);

    CSystemTradingDayWidget* domesticPage;
    CSystemTradingDayWidget* hkConnectPage;
    CSystemTradingDayWidget* electronicPage;
    COverSeaTradingDayWidget* overseasPage;
    XP::CStandardTabControl* tabControl;
    QMap<int, XP::CBaseTabPage*> pageTabs;
    XP::CScrollArea* scrollArea;
};

} // namespace IMC
