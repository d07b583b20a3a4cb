#include "widgets/CMessageBoxScript.h"

#include "widgets/CMessageBox.h"

#include <QQueue>

namespace XP {

namespace {

struct SScriptState
{
    bool enabled = false;
    QQueue<QMessageBox::StandardButton> answers;
    QList<CMessageBoxCall> calls;
};

SScriptState& state()
{
    static SScriptState script;
    return script;
}

} // namespace

void CMessageBoxScript::enable(bool on)
{
    state().enabled = on;
}

bool CMessageBoxScript::isEnabled()
{
    return state().enabled;
}

void CMessageBoxScript::pushAnswer(QMessageBox::StandardButton answer)
{
    state().answers.enqueue(answer);
}

int CMessageBoxScript::pendingAnswers()
{
    return state().answers.size();
}

QList<CMessageBoxCall> CMessageBoxScript::calls()
{
    return state().calls;
}

void CMessageBoxScript::reset()
{
    state() = SScriptState{};
}

QMessageBox::StandardButton CMessageBoxScript::answer(CMessageBoxCall call)
{
    SScriptState& script = state();
    call.answer = script.answers.isEmpty() ? CMessageBox::fallbackAnswer(call.buttons, call.defaultButton)
                                           : script.answers.dequeue();
    script.calls.append(call);
    return call.answer;
}

} // namespace XP
