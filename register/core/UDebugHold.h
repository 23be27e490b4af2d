// The debug window as the core sees it: four switches (hash on the card, verify on the card,
// hold the transaction command, hold the verification command) and a send field in which a
// command is shown and waits until the user releases it. The register's debug window
// implements the interface and registers itself with the core (URegisterCore.h); without one
// every switch is off.
#pragma once

#include <string>

namespace UDebugHold {

// State of a held command.
constexpr int StateWaiting = 1; // shown, waiting for release
constexpr int StateSent = 0;    // "Send" pressed
constexpr int StateClosed = -1; // the window was closed

class IDebugWindow {
public:
    virtual ~IDebugWindow() = default;
    virtual bool GetCheckHash() const = 0;
    virtual bool GetCheckVer() const = 0;
    virtual bool GetCheckTrans() const = 0;
    virtual bool GetCheckManVer() const = 0;
    virtual int GetState() const = 0;
    // Shows the window with the text in its send field; the state becomes waiting.
    virtual void ShowSendText(const std::string& text) = 0;
    virtual std::string GetSendText() const = 0;
    virtual void HideWindow() = 0;
    // One round of the wait: sleep 200 ms, handle the pending window messages, then one
    // more (waiting for it). When the program is ending, the window must leave the waiting
    // state (as if it was closed), or the hold would never end.
    virtual void WaitRound() = 0;
};

// The core's debug window (none is allowed).
void SetDebugWindow(IDebugWindow* window);
IDebugWindow* DebugWindow();

bool GetCheckHash();
bool GetCheckVer();
bool GetCheckTrans();
bool GetCheckManVer();

// Holds a command for editing when the switch is on: shows it, waits for release and
// returns the edited text after "Send", the command unchanged when the window was closed;
// the window is hidden again. With the switch off the command comes back as given.
// The wait handles window messages, so a second command may ask for the hold while the first
// one waits: the window holds one command only, so the second comes back unchanged at once
// and the register monitor gets the line NestedHoldLine.
std::string HoldCommand(bool hold, const std::string& command);

// The monitor line of a refused second hold.
constexpr const char* NestedHoldLine = "\tDebug: ein Kommando wartet schon, dieses wird unverändert gesendet";

} // namespace UDebugHold
