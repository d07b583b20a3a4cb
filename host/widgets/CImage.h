#pragma once

#include <QPixmap>
#include <QString>

namespace XP {

// A theme image by name: the resource ":/theme/<name>.png" when it exists, else a painted placeholder.
class CImage
{
public:
    explicit CImage(const QString& name);

    QString name() const { return imageName; }
    QSize size() const { return picture.size(); }
    const QPixmap& pixmap() const { return picture; }
    bool isPlaceholder() const { return placeholder; }

private:
    static QPixmap paintPlaceholder(const QString& name);

    QString imageName;
    QPixmap picture;
    bool placeholder = false;
};

} // namespace XP
