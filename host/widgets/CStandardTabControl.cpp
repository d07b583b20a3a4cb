#include "widgets/CStandardTabControl.h"

#include "widgets/CBaseTabPage.h"
#include "widgets/CBaseWidget.h"
#include "widgets/CUiResource.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace XP {

namespace {
constexpr int tabFontSize = 0;
constexpr int tabPadding = 16;
} // namespace

CStandardTabControl::CStandardTabControl(QWidget* parent)
    : CEventWidgetT<QWidget>(parent)
{}

CStandardTabControl::~CStandardTabControl() = default;

CBaseTabPage* CStandardTabControl::addTabWidget(const QString& title, QWidget* page, void* customButtons)
{
    STab tab;
    tab.handle = std::make_unique<CBaseTabPage>(title, page, customButtons);
    tabs.push_back(std::move(tab));
    layoutHeaders();
    if (page) {
        page->setParent(this);
        page->setGeometry(pageRect());
        if (current < 0) {
            current = int(tabs.size()) - 1;
            page->show();
        } else {
            page->hide();
        }
    }
    updateGeometry();
    update();
    return tabs.back().handle.get();
}

int CStandardTabControl::tabCount() const
{
    return int(tabs.size());
}

CBaseTabPage* CStandardTabControl::getTabPage(int index) const
{
    return index >= 0 && index < tabCount() ? tabs[index].handle.get() : nullptr;
}

QString CStandardTabControl::tabTitle(int index) const
{
    return index >= 0 && index < tabCount() ? tabs[index].handle->title() : QString();
}

void CStandardTabControl::activateTab(int index)
{
    if (index < 0 || index >= tabCount()) {
        return;
    }
    QWidget* before = current >= 0 ? tabs[current].handle->page() : nullptr;
    QWidget* page = tabs[index].handle->page();
    const bool changed = index != current;
    current = index;
    if (changed && before) {
        before->hide();
        if (auto* widget = dynamic_cast<CBaseWidget*>(before)) {
            widget->onDeactive();
        }
    }
    if (page) {
        page->setGeometry(pageRect());
        page->show();
        page->raise();
        if (auto* widget = dynamic_cast<CBaseWidget*>(page)) {
            widget->onActive();
        }
    }
    update();
}

int CStandardTabControl::tabAt(const QPoint& position) const
{
    for (int i = 0; i < tabCount(); ++i) {
        if (tabRect(i).contains(position)) {
            return i;
        }
    }
    return -1;
}

QRect CStandardTabControl::tabRect(int index) const
{
    if (index < 0 || index >= tabCount()) {
        return {};
    }
    return {tabs[index].left, 0, tabs[index].width, tabBarHeight};
}

QSize CStandardTabControl::sizeHint() const
{
    QSize largest(tabCount() > 0 ? tabs.back().left + tabs.back().width : 0, 0);
    for (const STab& tab : tabs) {
        if (QWidget* page = tab.handle->page()) {
            largest = largest.expandedTo(page->sizeHint().expandedTo(page->minimumSize()));
        }
    }
    return {largest.width(), largest.height() + tabBarHeight};
}

QSize CStandardTabControl::minimumSizeHint() const
{
    return {tabCount() > 0 ? tabs.back().left + tabs.back().width : 0, tabBarHeight};
}

QRect CStandardTabControl::pageRect() const
{
    return {0, tabBarHeight, width(), std::max(0, height() - tabBarHeight)};
}

void CStandardTabControl::layoutHeaders()
{
    CUiResource* theme = CUiResource::instance();
    int left = 0;
    for (STab& tab : tabs) {
        tab.left = left;
        tab.width =
            int(std::ceil(theme->textSize(tab.handle->title(), tabFontSize).width())) + 2 * tabPadding;
        left += tab.width;
    }
}

void CStandardTabControl::placePages()
{
    const QRect area = pageRect();
    for (const STab& tab : tabs) {
        if (QWidget* page = tab.handle->page()) {
            page->setGeometry(area);
        }
    }
}

void CStandardTabControl::paintEvent(QPaintEvent*)
{
    CUiResource* theme = CUiResource::instance();
    QPainter painter(this);
    painter.fillRect(0, 0, width(), tabBarHeight, theme->getColor(QStringLiteral("clr_table_header")));
    for (int i = 0; i < tabCount(); ++i) {
        const QRect header = tabRect(i);
        if (i == current) {
            painter.fillRect(header, theme->getColor(QStringLiteral("clr_window")));
            painter.fillRect(header.left(), header.bottom() - 1, header.width(), 2,
                             theme->getColor(QStringLiteral("clr_accent")));
        }
        const QSizeF size = theme->textSize(tabs[i].handle->title(), tabFontSize);
        theme->drawText(
            &painter,
            QPointF(header.left() + (header.width() - size.width()) / 2, (tabBarHeight - size.height()) / 2),
            tabs[i].handle->title(), tabFontSize, false, theme->getColor(QStringLiteral("clr_default")));
    }
}

void CStandardTabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePages();
}

void CStandardTabControl::mousePressEvent(QMouseEvent* event)
{
    const int index = event->button() == Qt::LeftButton ? tabAt(event->pos()) : -1;
    if (index >= 0) {
        activateTab(index);
    }
}

} // namespace XP
