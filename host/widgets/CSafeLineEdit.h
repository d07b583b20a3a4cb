#pragma once

#include "widgets/CLineEdit.h"

namespace IMC {

// A line edit with an id: Enter delivers (102, id, 0, text, null).
class CSafeLineEdit : public XP::CLineEdit
{
    Q_OBJECT
public:
    static constexpr int eventType = 102;

    CSafeLineEdit(int id, QWidget* parent);

    int id() const { return editId; }

private:
    void slotReturnPressed();

    int editId;
};

} // namespace IMC
