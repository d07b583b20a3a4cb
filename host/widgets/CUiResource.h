#pragma once

#include "widgets/CUiResourceChangeHandler.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPair>
#include <QString>

class QEvent;
class QPainter;
class QWidget;

#include <boost/intrusive/list.hpp>

namespace XP {

// The theme: colours by key, fonts by size step and the display scale. One instance per process.
class CUiResource
{
public:
    static CUiResource* instance();

    // Colour of a theme key; an unknown key gives a loud magenta so that it is seen at once.
    QColor getColor(const QString& key) const;
    bool hasColor(const QString& key) const;

    // Step 0 is the standard text (12 px at scale 1); each step above adds one pixel.
    QFont font(int size, bool bold = false) const;
    const QFontMetrics& fontMetrics(int size) const;
    // Size of one line of text in font(size, bold).
    QSizeF textSize(const QString& text, int size, bool bold = false) const;
    // Draws one line of text with its top left corner at topLeft. Each text is rendered once per font and
    // colour into an image that is kept for the whole process, so that painting it again is a plain copy.
    void drawText(QPainter* painter, const QPointF& topLeft, const QString& text, int size, bool bold,
                  const QColor& color) const;

    double scale() const { return currentScale; }
    // Changes with every scale change, so that widgets know when sizes they keep are out of date.
    int generation() const { return scaleGeneration; }
    // Stores the scale, drops cached fonts and calls scaleChanged() on every live handler.
    void setScale(double scale);

    void addHandler(CUiResourceChangeHandler* handler);
    int handlerCount() const;

    static QString fontFamily();

    // Answers the style's polish for a widget that draws itself from this theme: such a widget takes
    // nothing from the application style or its per-class fonts and palettes, and polishing it through the
    // style costs a style pass and two class lookups each time one is shown. True when event was that
    // polish.
    static bool takeStylePolish(QWidget* widget, QEvent* event);

private:
    CUiResource();

    using HandlerList =
        boost::intrusive::list<CUiResourceChangeHandler, boost::intrusive::constant_time_size<false>>;

    struct STextImageKey
    {
        QString text;
        int font;
        QRgb color;
        int pixelRatio; // in hundredths
        bool operator==(const STextImageKey& other) const
        {
            return text == other.text && font == other.font && color == other.color &&
                   pixelRatio == other.pixelRatio;
        }
        friend uint qHash(const STextImageKey& key, uint seed = 0)
        {
            return qHash(key.text, seed) ^ uint(key.font * 31) ^ key.color ^ uint(key.pixelRatio << 20);
        }
    };

    QImage renderText(const QString& text, int size, bool bold, const QColor& color, qreal pixelRatio) const;

    QHash<QString, QColor> colors;
    mutable QHash<int, QFont> fonts;
    mutable QHash<QPair<QString, int>, QSizeF> textSizes;
    mutable QHash<STextImageKey, QImage> textImages;
    mutable QHash<int, QFontMetrics> metrics;
    double currentScale = 1.0;
    int scaleGeneration = 0;
    HandlerList handlers;
};

} // namespace XP
