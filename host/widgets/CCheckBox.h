#pragma once

#include "widgets/CEventWidgetT.h"

#include <QString>

namespace XP {

// A light check box. An operator click (or Space) toggles it and then delivers (66, id, 0, "", null);
// changes made by the program deliver nothing.
class CCheckBox : public CEventWidgetT<QWidget>
{
    Q_OBJECT
public:
    static constexpr int eventType = 66;

    // Shows text when it is not empty, else alternativeText.
    CCheckBox(int id, const QString& text, const QString& alternativeText, QWidget* parent);

    int id() const { return boxId; }
    QString text() const { return label; }
    void setText(const QString& text);

    bool isChecked() const { return state == Qt::Checked; }
    void setChecked(bool checked);
    Qt::CheckState checkState() const { return state; }
    void setCheckState(Qt::CheckState checkState);

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void toggleByOperator();

    int boxId;
    Qt::CheckState state = Qt::Unchecked;
    bool pressed = false;
    QString label;
    // Lists ask for the hint on every layout; it changes only with the text and the scale.
    mutable QSize cachedHint;
    mutable int hintGeneration = -1;
};

} // namespace XP
