#include "widgets/CUiResource.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace XP {

namespace {
constexpr int standardPixelSize = 12;
constexpr int maxCachedTexts = 8192;
constexpr int maxCachedTextImages = 2048;
const QColor unknownColor(255, 0, 255);

int fontKey(int size, bool bold)
{
    return size * 2 + (bold ? 1 : 0);
}
} // namespace

CUiResource* CUiResource::instance()
{
    static CUiResource resource;
    return &resource;
}

CUiResource::CUiResource()
    : colors{
          {QStringLiteral("clr_window"), QColor(0xf5, 0xf6, 0xf8)},
          {QStringLiteral("clr_default"), QColor(0x30, 0x33, 0x38)},
          {QStringLiteral("clr_table_background"), QColor(0xff, 0xff, 0xff)},
          {QStringLiteral("clr_table_background2"), QColor(0xf0, 0xf3, 0xf7)},
          {QStringLiteral("clr_table_header"), QColor(0xe3, 0xe8, 0xef)},
          {QStringLiteral("clr_table_grid"), QColor(0xd4, 0xd9, 0xe0)},
          {QStringLiteral("clr_lineedit_empty_hint"), QColor(0xa0, 0xa6, 0xae)},
          {QStringLiteral("clr_global_warn"), QColor(0xe0, 0x4b, 0x2f)},
          {QStringLiteral("clr_accent"), QColor(0x2f, 0x7b, 0xe0)},
          {QStringLiteral("clr_button"), QColor(0xfb, 0xfc, 0xfd)},
          {QStringLiteral("clr_button_down"), QColor(0xdc, 0xe4, 0xee)},
          {QStringLiteral("clr_frame"), QColor(0xc3, 0xc9, 0xd1)},
          {QStringLiteral("clr_disabled_text"), QColor(0xb4, 0xb8, 0xbe)},
          {QStringLiteral("clr_mask"), QColor(0x20, 0x24, 0x2a, 0x80)},
          {QStringLiteral("clr_mask_text"), QColor(0xff, 0xff, 0xff)},
      }
{}

QColor CUiResource::getColor(const QString& key) const
{
    return colors.value(key, unknownColor);
}

bool CUiResource::hasColor(const QString& key) const
{
    return colors.contains(key);
}

QString CUiResource::fontFamily()
{
    return QStringLiteral("WenQuanYi Micro Hei");
}

QFont CUiResource::font(int size, bool bold) const
{
    const int key = fontKey(size, bold);
    auto found = fonts.constFind(key);
    if (found != fonts.constEnd()) {
        return *found;
    }
    QFont created(fontFamily());
    created.setPixelSize(
        std::max(1, int(std::lround((standardPixelSize + std::max(0, size)) * currentScale))));
    created.setBold(bold);
    fonts.insert(key, created);
    return created;
}

QSizeF CUiResource::textSize(const QString& text, int size, bool bold) const
{
    const QPair<QString, int> key(text, fontKey(size, bold));
    auto found = textSizes.constFind(key);
    if (found != textSizes.constEnd()) {
        return *found;
    }
    if (textSizes.size() >= maxCachedTexts) {
        textSizes.clear();
    }
    const QFontMetricsF metrics(font(size, bold));
    return *textSizes.insert(key, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
}

void CUiResource::drawText(QPainter* painter, const QPointF& topLeft, const QString& text, int size,
                           bool bold, const QColor& color) const
{
    if (text.isEmpty()) {
        return;
    }
    const qreal pixelRatio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const STextImageKey key{text, fontKey(size, bold), color.rgba(), int(std::lround(pixelRatio * 100))};
    auto found = textImages.constFind(key);
    if (found == textImages.constEnd()) {
        if (textImages.size() >= maxCachedTextImages) {
            textImages.clear();
        }
        found = textImages.insert(key, renderText(text, size, bold, color, pixelRatio));
    }
    // Whole pixels keep the copy a plain blend, without filtering.
    painter->drawImage(QPointF(std::round(topLeft.x()), std::round(topLeft.y())), *found);
}

QImage CUiResource::renderText(const QString& text, int size, bool bold, const QColor& color,
                               qreal pixelRatio) const
{
    const QSizeF logical = textSize(text, size, bold);
    QImage image(int(std::ceil(logical.width() * pixelRatio)) + 1,
                 int(std::ceil(logical.height() * pixelRatio)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QFont textFont = font(size, bold);
    painter.setFont(textFont);
    painter.setPen(color);
    painter.drawText(QPointF(0, QFontMetricsF(textFont).ascent()), text);
    return image;
}

const QFontMetrics& CUiResource::fontMetrics(int size) const
{
    auto found = metrics.constFind(size);
    if (found == metrics.constEnd()) {
        found = metrics.insert(size, QFontMetrics(font(size)));
    }
    return *found;
}

bool CUiResource::takeStylePolish(QWidget* widget, QEvent* event)
{
    if (event->type() != QEvent::Polish) {
        return false;
    }
    widget->setAttribute(Qt::WA_WState_Polished);
    return true;
}

void CUiResource::setScale(double scale)
{
    currentScale = scale;
    ++scaleGeneration;
    fonts.clear();
    metrics.clear();
    textSizes.clear();
    textImages.clear();
    // Handlers wait in their own list until called, so one destroyed meanwhile simply leaves that list.
    HandlerList pending;
    pending.splice(pending.end(), handlers);
    while (!pending.empty()) {
        CUiResourceChangeHandler& handler = pending.front();
        pending.pop_front();
        handlers.push_back(handler);
        handler.scaleChanged();
    }
}

void CUiResource::addHandler(CUiResourceChangeHandler* handler)
{
    handlers.push_back(*handler);
}

int CUiResource::handlerCount() const
{
    return int(handlers.size());
}

} // namespace XP
