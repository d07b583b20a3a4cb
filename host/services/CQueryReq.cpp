#include "services/CQueryReq.h"

#include <utility>

namespace IMC {

CQueryReq::CQueryReq(std::string name, int dataKind, Callback callback, QWidget* parent, bool showLoading)
    : requestName(std::move(name))
    , kind(dataKind)
    , answerCallback(std::move(callback))
    , parentGiven(parent != nullptr)
    , parentWidget(parent)
    , loading(showLoading)
{}

const std::string& CQueryReq::name() const
{
    return requestName;
}

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

bool CQueryReq::showLoading() const
{
    return loading;
}

} // namespace IMC
