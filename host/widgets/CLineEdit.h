#pragma once

#include "widgets/CEventWidgetT.h"

#include <QLineEdit>

namespace XP {

// A line edit with an empty hint drawn in a theme colour.
class CLineEdit : public CEventWidgetT<QLineEdit>
{
    Q_OBJECT
public:
    explicit CLineEdit(QWidget* parent);

    void setEmptyHint(const QString& hint);
    QString emptyHint() const { return placeholderText(); }
    void setEmptyHintColorKey(const QString& key);
    QString emptyHintColorKey() const { return hintColorKey; }

private:
    void applyHintColor();

    QString hintColorKey = QStringLiteral("clr_lineedit_empty_hint");
};

} // namespace XP
