#include "register/core/UDebugHold.h"

namespace UDebugHold {

namespace {
IDebugWindow* debugWindow = nullptr;
}

void SetDebugWindow(IDebugWindow* window) { debugWindow = window; }
IDebugWindow* DebugWindow() { return debugWindow; }

bool GetCheckHash() { return debugWindow && debugWindow->GetCheckHash(); }
bool GetCheckVer() { return debugWindow && debugWindow->GetCheckVer(); }
bool GetCheckTrans() { return debugWindow && debugWindow->GetCheckTrans(); }
bool GetCheckManVer() { return debugWindow && debugWindow->GetCheckManVer(); }

std::string HoldCommand(bool hold, const std::string& command)
{
    if (!hold || !debugWindow) return command;
    debugWindow->ShowSendText(command);
    while (debugWindow->GetState() > 0)
        debugWindow->WaitRound();
    std::string result = debugWindow->GetState() == StateSent ? debugWindow->GetSendText() : command;
    debugWindow->HideWindow();
    return result;
}

} // namespace UDebugHold
