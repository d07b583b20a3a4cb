#include "widgets/CImage.h"

#include "widgets/CUiResource.h"

#include <QFile>
#include <QPainter>

namespace XP {

namespace {
const QSize placeholderSize(230, 170);
} // namespace

CImage::CImage(const QString& name)
    : imageName(name)
{
    const QString resource = QStringLiteral(":/theme/%1.png").arg(name);
    if (QFile::exists(resource) && picture.load(resource)) {
        return;
    }
    picture = paintPlaceholder(name);
    placeholder = true;
}

QPixmap CImage::paintPlaceholder(const QString& name)
{
    CUiResource* theme = CUiResource::instance();
    QPixmap pixmap(placeholderSize);
    pixmap.fill(theme->getColor(QStringLiteral("clr_table_background")));
    QPainter painter(&pixmap);
    painter.setPen(theme->getColor(QStringLiteral("clr_frame")));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    painter.drawLine(pixmap.rect().topLeft(), pixmap.rect().bottomRight());
    painter.drawLine(pixmap.rect().topRight(), pixmap.rect().bottomLeft());
    painter.setFont(theme->font(0));
    painter.setPen(theme->getColor(QStringLiteral("clr_default")));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, name);
    return pixmap;
}

} // namespace XP
