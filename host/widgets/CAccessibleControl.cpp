#include "widgets/CAccessibleControl.h"

#include "widgets/CBaseWidget.h"
#include "widgets/CCheckBox.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"
#include "widgets/CWidgetList.h"

namespace XP {

CAccessibleControl::CAccessibleControl(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{}

QString CAccessibleControl::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name) {
        if (auto* button = qobject_cast<CSmallNormalButton*>(object())) {
            return button->text();
        }
        if (auto* box = qobject_cast<CCheckBox*>(object())) {
            return box->text();
        }
        if (auto* label = qobject_cast<CSimpleTextWidget*>(object())) {
            return label->getText();
        }
    }
    return QAccessibleWidget::text(kind);
}

QAccessible::State CAccessibleControl::state() const
{
    QAccessible::State current = QAccessibleWidget::state();
    if (auto* box = qobject_cast<CCheckBox*>(object())) {
        current.checkable = true;
        current.checked = box->checkState() == Qt::Checked;
        current.checkStateMixed = box->checkState() == Qt::PartiallyChecked;
    }
    return current;
}

QAccessibleInterface* CAccessibleControl::create(const QString& className, QObject* object)
{
    if (!className.startsWith(QLatin1String("XP::"))) {
        return nullptr;
    }
    if (auto* button = qobject_cast<CSmallNormalButton*>(object)) {
        return new CAccessibleControl(button, QAccessible::Button);
    }
    if (auto* box = qobject_cast<CCheckBox*>(object)) {
        return new CAccessibleControl(box, QAccessible::CheckBox);
    }
    if (auto* label = qobject_cast<CSimpleTextWidget*>(object)) {
        return new CAccessibleControl(label, QAccessible::StaticText);
    }
    if (auto* table = qobject_cast<CStandardSimpleTable*>(object)) {
        return new CAccessibleControl(table, QAccessible::Table);
    }
    if (auto* list = qobject_cast<CWidgetList*>(object)) {
        return new CAccessibleControl(list, QAccessible::Grouping);
    }
    if (auto* widget = qobject_cast<CBaseWidget*>(object)) {
        return new CAccessibleControl(widget, QAccessible::Grouping);
    }
    return nullptr;
}

void CAccessibleControl::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&CAccessibleControl::create);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace XP

namespace {
// The factory must be in place before the first control shows, whoever builds it.
void installAccessibleControls()
{
    XP::CAccessibleControl::install();
}
Q_CONSTRUCTOR_FUNCTION(installAccessibleControls)
} // namespace
