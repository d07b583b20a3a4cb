#pragma once

#include <QScrollArea>

namespace XP {

// A frameless scroll area whose widget grows with the viewport but never below its minimum size.
class CScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit CScrollArea(QWidget* parent);
};

} // namespace XP
