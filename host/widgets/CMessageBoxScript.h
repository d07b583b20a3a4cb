#pragma once

#include "widgets/CMessageBoxCall.h"

#include <QList>
#include <QMessageBox>

namespace XP {

// Test seam of CMessageBox. While enabled, every box is recorded instead of shown and takes the next
// pushed answer; with no answer queued it takes the default button, else the first of its buttons.
class CMessageBoxScript
{
public:
    static void enable(bool on);
    static bool isEnabled();
    static void pushAnswer(QMessageBox::StandardButton answer);
    static int pendingAnswers();
    static QList<CMessageBoxCall> calls();
    // Disables the seam and forgets answers and calls.
    static void reset();

    // Used by CMessageBox: records the call and returns its answer.
    static QMessageBox::StandardButton answer(CMessageBoxCall call);
};

} // namespace XP
