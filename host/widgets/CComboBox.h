#pragma once

#include "widgets/CEventWidgetT.h"

#include <QComboBox>

namespace XP {

// A combo box on the event bus: each change of the current item delivers (75, id, index, "", null),
// whether the operator or the program made it. The automatic choice of the first item when it is added to
// an empty box and the loss of the current item on clear() deliver nothing.
class CComboBox : public CEventWidgetT<QComboBox>
{
    Q_OBJECT
public:
    static constexpr int eventType = 75;

    CComboBox(int id, QWidget* parent);

    int id() const { return comboId; }
    using QComboBox::addItem;
    void addItem(const QString& text, const QVariant& data = {});
    void clear();

private:
    void slotCurrentIndexChanged(int index);

    int comboId;
    bool silent = false;
};

} // namespace XP
