#pragma once

#include <QMap>
#include <QString>

namespace XP {

// One button of a row, painted by CBaseTableColumnMultiButtonsDelegate.
struct ButtonData
{
    enum EButtonType
    {
        eLinkButton = 0,   // a text in the link colour
        eNormalButton = 1, // a framed push button
    };

    ButtonData() = default;
    ButtonData(int id, const QString& text, int buttonType, bool disabled,
               const QMap<int, QString>& properties)
        : id(id)
        , text(text)
        , buttonType(buttonType)
        , disabled(disabled)
        , properties(properties)
    {}

    // Raised as the param of event 228.
    int id = 0;
    QString text;
    int buttonType = eNormalButton;
    // Painted greyed and raises nothing.
    bool disabled = false;
    // Further texts by Qt item role; Qt::ToolTipRole is shown over the button.
    QMap<int, QString> properties;
};

} // namespace XP
