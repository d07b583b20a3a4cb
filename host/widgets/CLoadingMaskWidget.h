#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace XP {

// A half-transparent cover with a text over a busy widget; it swallows the mouse while shown.
class CLoadingMaskWidget : public QWidget
{
    Q_OBJECT
public:
    CLoadingMaskWidget(const QString& text, QWidget* parent);
    ~CLoadingMaskWidget() override;

    void setText(const QString& text);
    QString text() const { return label; }

    // Covers target (becoming its child), raised and visible, and follows its resizes until hidden.
    void attach(QWidget* target);
    QWidget* target() const { return covered; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QString label;
    QPointer<QWidget> covered;
};

} // namespace XP
