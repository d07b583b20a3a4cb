#pragma once

#include "widgets/CBaseWidget.h"

namespace XP {

// A framed container; its content is usually set with setInnerStretchWidget.
class CGroupBox : public CBaseWidget
{
    Q_OBJECT
public:
    explicit CGroupBox(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace XP
