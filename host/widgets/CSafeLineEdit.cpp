#include "widgets/CSafeLineEdit.h"

namespace IMC {

CSafeLineEdit::CSafeLineEdit(int id, QWidget* parent)
    : XP::CLineEdit(parent)
    , editId(id)
{
    connect(this, &QLineEdit::returnPressed, this, &CSafeLineEdit::slotReturnPressed);
}

void CSafeLineEdit::slotReturnPressed()
{
    deliverEvent(eventType, editId, 0, text(), nullptr);
}

} // namespace IMC
