#include "register/core/UDebugHold.h"

#include "register/core/UFuncMon.h"
#include "register/core/URegisterCore.h"

namespace UDebugHold {

void SetDebugWindow(IDebugWindow* window) { RegisterCore().SetDebugWindow(window); }
IDebugWindow* DebugWindow() { return RegisterCore().DebugWindow(); }

bool GetCheckHash() { return DebugWindow() && DebugWindow()->GetCheckHash(); }
bool GetCheckVer() { return DebugWindow() && DebugWindow()->GetCheckVer(); }
bool GetCheckTrans() { return DebugWindow() && DebugWindow()->GetCheckTrans(); }
bool GetCheckManVer() { return DebugWindow() && DebugWindow()->GetCheckManVer(); }

std::string HoldCommand(bool hold, const std::string& command)
{
    TRegisterCore& core = RegisterCore();
    IDebugWindow* window = core.DebugWindow();
    if (!hold || !window) return command;
    if (core.Holding()) {
        UFuncMon::LogToMonitor(NestedHoldLine);
        return command;
    }
    struct THold {
        TRegisterCore& core;
        explicit THold(TRegisterCore& c) : core(c) { core.SetHolding(true); }
        ~THold() { core.SetHolding(false); }
    } holding(core);
    // The user looks at the monitors while the command waits.
    UFuncMon::ShowMonitorNow();
    window->ShowSendText(command);
    while (window->GetState() > 0)
        window->WaitRound();
    std::string result = window->GetState() == StateSent ? window->GetSendText() : command;
    window->HideWindow();
    return result;
}

} // namespace UDebugHold
