#include "services/CQueryReq.h"

#include <utility>

namespace IMC {

// The name and the loading flag only matter to the host's own display of pending requests.
CQueryReq::CQueryReq(std::string, int dataKind, Callback callback, QWidget* parent, bool)
    : kind(dataKind)
    , answerCallback(std::move(callback))
    , parentGiven(parent != nullptr)
    , parentWidget(parent)
{}

int CQueryReq::dataKind() const
{
    return kind;
}

const CQueryReq::Callback& CQueryReq::callback() const
{
    return answerCallback;
}

bool CQueryReq::hasParent() const
{
    return parentGiven;
}

QWidget* CQueryReq::parent() const
{
    return parentWidget.data();
}

} // namespace IMC
