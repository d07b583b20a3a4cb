#include "widgets/CBaseWidget.h"

#include "widgets/CUiResource.h"

#include <QPalette>
#include <QResizeEvent>

namespace XP {

CBaseWidget::CBaseWidget(const QString& objectName, bool fillBackground, QWidget* parent)
    : CEventWidgetT<QWidget>(parent)
{
    setObjectName(objectName);
    if (fillBackground) {
        QPalette background = palette();
        background.setColor(QPalette::Window,
                            CUiResource::instance()->getColor(QStringLiteral("clr_window")));
        setPalette(background);
        setAutoFillBackground(true);
    }
}

CBaseWidget::~CBaseWidget() = default;

void CBaseWidget::onActive()
{
    active = true;
}

void CBaseWidget::onDeactive()
{
    active = false;
}

void CBaseWidget::setInnerStretchWidget(QWidget* w, int left, int top, int right, int bottom)
{
    innerWidget = w;
    innerMargins = QMargins(left, top, right, bottom);
    if (w && w->parentWidget() != this) {
        const bool explicitlyHidden = w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide);
        w->setParent(this);
        if (!explicitlyHidden && isVisible()) {
            w->show();
        }
    }
    placeInnerWidget();
}

bool CBaseWidget::handleEvent(int type, int id, int param, QString text, void* data)
{
    return CEventDeliverer::handleEvent(type, id, param, text, data);
}

void CBaseWidget::scaleChanged()
{
    update();
}

bool CBaseWidget::event(QEvent* event)
{
    return CUiResource::takeStylePolish(this, event) || QWidget::event(event);
}

void CBaseWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeInnerWidget();
}

void CBaseWidget::placeInnerWidget()
{
    if (innerWidget) {
        innerWidget->setGeometry(rect().marginsRemoved(innerMargins));
    }
}

} // namespace XP
