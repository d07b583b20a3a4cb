#include "widgets/CLineEdit.h"

#include "widgets/CUiResource.h"

#include <QPalette>

namespace XP {

CLineEdit::CLineEdit(QWidget* parent)
    : CEventWidgetT<QLineEdit>(parent)
{
    applyHintColor();
}

void CLineEdit::setEmptyHint(const QString& hint)
{
    setPlaceholderText(hint);
}

void CLineEdit::setEmptyHintColorKey(const QString& key)
{
    hintColorKey = key;
    applyHintColor();
}

void CLineEdit::applyHintColor()
{
    QPalette colors = palette();
    colors.setColor(QPalette::PlaceholderText, CUiResource::instance()->getColor(hintColorKey));
    setPalette(colors);
}

} // namespace XP
