#include "services/CServerMessageToast.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace IMC {

namespace {

const int ScreenMargin = 16;

} // namespace

CServerMessageToast::CServerMessageToast(const QString& title, const QString& text, bool success)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("serverMessageToast"));
    setStyleSheet(QStringLiteral("#serverMessageToast { background: %1; border-radius: 4px; }"
                                 "QLabel { color: white; }")
                      .arg(success ? QStringLiteral("#2e7d32") : QStringLiteral("#c62828")));
    auto* layout = new QVBoxLayout(this);
    auto* titleLabel = new QLabel(title, this);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    layout->addWidget(titleLabel);
    auto* textLabel = new QLabel(text, this);
    textLabel->setWordWrap(true);
    layout->addWidget(textLabel);
    setMaximumWidth(360);
}

void CServerMessageToast::popUp(QWidget* anchor)
{
    adjustSize();
    QRect area;
    if (anchor && anchor->window()->isVisible()) {
        const QWidget* window = anchor->window();
        area = QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    } else if (QGuiApplication::primaryScreen()) {
        area = QGuiApplication::primaryScreen()->availableGeometry();
    }
    move(area.right() - width() - ScreenMargin, area.bottom() - height() - ScreenMargin);
    show();
    QTimer::singleShot(DisplayMilliseconds, this, &QWidget::close);
}

} // namespace IMC
