#include "widgets/CCommonDialog.h"

#include "widgets/CFramePainter.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CUiResource.h"

#include <QMouseEvent>
#include <QPainter>

namespace XP {

namespace {
constexpr int titleFontSize = 1;
constexpr int closeSize = 20;
constexpr int titleIndent = 10;
} // namespace

CCommonDialog::CCommonDialog(QWidget* parent)
    : CBaseDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , closeControl(new CSmallNormalButton(closeId, false, CSmallNormalButton::eFlat, this))
{
    closeControl->setText(QStringLiteral("×"));
    closeControl->setFixedSize(closeSize, closeSize);
    closeControl->setFocusPolicy(Qt::NoFocus);
}

void CCommonDialog::setTitle(const QString& title)
{
    titleText = title;
    setWindowTitle(title);
    update(titleBarRect());
}

void CCommonDialog::setInnerWidget(QWidget* w)
{
    inner = w;
    if (w) {
        if (w->parentWidget() != this) {
            w->setParent(this);
        }
        w->show();
    }
    placeChildren();
}

bool CCommonDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type == CSmallNormalButton::eventType && id == closeId) {
        reject();
        return true;
    }
    return CBaseDialog::handleEvent(type, id, param, text, data);
}

QRect CCommonDialog::titleBarRect() const
{
    return {frameWidth, frameWidth, width() - 2 * frameWidth, titleBarHeight};
}

void CCommonDialog::placeChildren()
{
    const QRect bar = titleBarRect();
    closeControl->move(bar.right() - closeSize - (titleBarHeight - closeSize) / 2,
                       bar.top() + (titleBarHeight - closeSize) / 2);
    closeControl->raise();
    if (inner) {
        inner->setGeometry(frameWidth, bar.bottom() + 1, width() - 2 * frameWidth,
                           std::max(0, height() - titleBarHeight - 2 * frameWidth));
    }
}

void CCommonDialog::paintEvent(QPaintEvent*)
{
    CUiResource* theme = CUiResource::instance();
    QPainter painter(this);
    painter.fillRect(rect(), theme->getColor(QStringLiteral("clr_window")));
    const QRect bar = titleBarRect();
    painter.fillRect(bar, theme->getColor(QStringLiteral("clr_table_header")));
    const QSizeF textSize = theme->textSize(titleText, titleFontSize);
    theme->drawText(&painter,
                    QPointF(bar.left() + titleIndent, bar.top() + (bar.height() - textSize.height()) / 2),
                    titleText, titleFontSize, false, theme->getColor(QStringLiteral("clr_default")));
    CFramePainter::drawFrame(&painter, rect(), theme->getColor(QStringLiteral("clr_frame")));
}

void CCommonDialog::resizeEvent(QResizeEvent* event)
{
    CBaseDialog::resizeEvent(event);
    placeChildren();
}

void CCommonDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && titleBarRect().contains(event->pos())) {
        dragging = true;
        dragOffset = event->globalPos() - frameGeometry().topLeft();
        return;
    }
    CBaseDialog::mousePressEvent(event);
}

void CCommonDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging) {
        move(event->globalPos() - dragOffset);
        return;
    }
    CBaseDialog::mouseMoveEvent(event);
}

void CCommonDialog::mouseReleaseEvent(QMouseEvent* event)
{
    dragging = false;
    CBaseDialog::mouseReleaseEvent(event);
}

} // namespace XP
