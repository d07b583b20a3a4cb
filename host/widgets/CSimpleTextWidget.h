#pragma once

#include <QString>
#include <QWidget>

namespace XP {

// A light one-line text in a theme colour. Alignment follows the Qt alignment bits given to setFlag
// (default: left and vertically centred).
class CSimpleTextWidget : public QWidget
{
    Q_OBJECT
public:
    // bold: bold text; size: font step of CUiResource::font.
    CSimpleTextWidget(bool bold, int size, const QString& text, QWidget* parent);

    // Shows at most maxLength characters of text (100000 in practice means all of it).
    void setText(const QString& text, int maxLength);
    QString getText() const { return content; }
    QString text() const { return getText(); }

    void setColorKey(const QString& key);
    QString colorKey() const { return colorName; }

    void setFlag(int alignmentFlags);
    int flag() const { return alignment; }

    int fontSize() const { return size; }
    bool isBold() const { return bold; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool bold;
    int size;
    int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString colorName = QStringLiteral("clr_default");
    QString content;
    // Lists ask for the hint on every layout; it changes only with the text and the scale.
    mutable QSize cachedHint;
    mutable int hintGeneration = -1;
};

} // namespace XP
