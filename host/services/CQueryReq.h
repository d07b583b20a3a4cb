#pragma once

#include "records/IData.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

namespace IMC {

// A reference-data request for CItsmDataManager: a data kind (12262 tracks, 12482 instrument
// details), a text parameter and the callback that receives the answer on the GUI thread.
class CQueryReq
{
public:
    typedef boost::function<void(boost::shared_ptr<CQueryReq>, bool ok, QString error,
                                 const std::vector<boost::shared_ptr<ttservice::IData>>& records,
                                 int dataKind)>
        Callback;

    // A request with a parent is dropped, unanswered, when the parent is destroyed before the answer.
    CQueryReq(std::string name, int dataKind, Callback callback, QWidget* parent, bool showLoading);

    int dataKind() const;
    const Callback& callback() const;
    bool hasParent() const;
    // Null once a given parent has been destroyed.
    QWidget* parent() const;

    std::string queryParam;

private:
    int kind;
    Callback answerCallback;
    bool parentGiven;
    QPointer<QWidget> parentWidget;
};

} // namespace IMC
