#include "widgets/CUiResourceChangeHandler.h"

#include "widgets/CUiResource.h"

namespace XP {

CUiResourceChangeHandler::CUiResourceChangeHandler()
{
    CUiResource::instance()->addHandler(this);
}

// The auto-unlink hook leaves the resource's list on destruction.
CUiResourceChangeHandler::~CUiResourceChangeHandler() = default;

void CUiResourceChangeHandler::scaleChanged() {}

} // namespace XP
