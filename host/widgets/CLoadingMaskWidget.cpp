#include "widgets/CLoadingMaskWidget.h"

#include "widgets/CUiResource.h"

#include <QEvent>
#include <QPainter>

namespace XP {

namespace {
constexpr int maskFontSize = 2;
} // namespace

CLoadingMaskWidget::CLoadingMaskWidget(const QString& text, QWidget* parent)
    : QWidget(parent)
    , label(text)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

CLoadingMaskWidget::~CLoadingMaskWidget() = default;

void CLoadingMaskWidget::setText(const QString& text)
{
    label = text;
    update();
}

void CLoadingMaskWidget::attach(QWidget* target)
{
    if (!target || target == this) {
        return;
    }
    if (covered && covered != target) {
        covered->removeEventFilter(this);
    }
    covered = target;
    if (parentWidget() != target) {
        setParent(target);
    }
    target->installEventFilter(this);
    setGeometry(target->rect());
    raise();
    show();
}

bool CLoadingMaskWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == covered && event->type() == QEvent::Resize) {
        setGeometry(covered->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void CLoadingMaskWidget::hideEvent(QHideEvent* event)
{
    if (covered) {
        covered->removeEventFilter(this);
        covered = nullptr;
    }
    QWidget::hideEvent(event);
}

void CLoadingMaskWidget::paintEvent(QPaintEvent*)
{
    CUiResource* theme = CUiResource::instance();
    QPainter painter(this);
    painter.fillRect(rect(), theme->getColor(QStringLiteral("clr_mask")));
    const QSizeF size = theme->textSize(label, maskFontSize);
    theme->drawText(&painter, QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), label,
                    maskFontSize, false, theme->getColor(QStringLiteral("clr_mask_text")));
}

} // namespace XP
