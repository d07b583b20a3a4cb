#pragma once

#include <boost/intrusive/list_hook.hpp>

namespace XP {

// Receives scaleChanged() from CUiResource for as long as it lives.
class CUiResourceChangeHandler
    : public boost::intrusive::list_base_hook<boost::intrusive::link_mode<boost::intrusive::auto_unlink>>
{
public:
    CUiResourceChangeHandler();
    virtual ~CUiResourceChangeHandler();

    CUiResourceChangeHandler(const CUiResourceChangeHandler&) = delete;
    CUiResourceChangeHandler& operator=(const CUiResourceChangeHandler&) = delete;

    virtual void scaleChanged();
};

} // namespace XP
