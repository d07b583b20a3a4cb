#pragma once

#include "widgets/CEventWidgetT.h"

#include <QString>

#include <memory>
#include <vector>

namespace XP {

class CBaseTabPage;

// Tabs in a painted header strip above the page area. The first page added is shown but not activated;
// activateTab (or a click on a tab header) shows a page and calls onActive()/onDeactive() on CBaseWidgets.
class CStandardTabControl : public CEventWidgetT<QWidget>
{
    Q_OBJECT
public:
    static constexpr int tabBarHeight = 30;

    explicit CStandardTabControl(QWidget* parent);
    ~CStandardTabControl() override;

    CBaseTabPage* addTabWidget(const QString& title, QWidget* page, void* customButtons);
    int tabCount() const;
    CBaseTabPage* getTabPage(int index) const;
    QString tabTitle(int index) const;
    void activateTab(int index);
    int currentIndex() const { return current; }
    // The tab header under a point, or -1.
    int tabAt(const QPoint& position) const;
    QRect tabRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct STab
    {
        std::unique_ptr<CBaseTabPage> handle;
        int left = 0;
        int width = 0;
    };

    void placePages();
    void layoutHeaders();
    QRect pageRect() const;

    std::vector<STab> tabs;
    int current = -1;
};

} // namespace XP
