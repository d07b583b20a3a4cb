#include "widgets/CComboBox.h"

namespace XP {

CComboBox::CComboBox(int id, QWidget* parent)
    : CEventWidgetT<QComboBox>(parent)
    , comboId(id)
{
    connect(this, qOverload<int>(&QComboBox::currentIndexChanged), this, &CComboBox::slotCurrentIndexChanged);
}

void CComboBox::addItem(const QString& text, const QVariant& data)
{
    silent = count() == 0;
    QComboBox::addItem(text, data);
    silent = false;
}

void CComboBox::clear()
{
    silent = true;
    QComboBox::clear();
    silent = false;
}

void CComboBox::slotCurrentIndexChanged(int index)
{
    if (!silent && index >= 0) {
        deliverEvent(eventType, comboId, index, QString(), nullptr);
    }
}

} // namespace XP
