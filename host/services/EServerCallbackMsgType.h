#pragma once

namespace IMC {

// Kind of an operation outcome shown by CItsmClientCenter::showServerMsgCallBack.
enum EServerCallbackMsgType
{
    EServerCallbackMsg_Success = 0,
    EServerCallbackMsg_Failure = 1
};

} // namespace IMC
