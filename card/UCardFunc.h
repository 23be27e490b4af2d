// The card library's module state and the logged exchange routines that every card command
// passes through. One TCardModule exists per loaded library; the exports reach it with Module().
#pragma once

#include <windows.h>

#include <string>

class TPCSCConnector;
class TMonForm;

// Colours of the monitor lines (0x00BBGGRR).
constexpr int clLogBlack = 0x000000;
constexpr int clLogMaroon = 0x000080;
constexpr int clLogRed = 0x0000FF;
constexpr int clLogBlue = 0xFF0000;

class TCardModule {
public:
    TCardModule();
    ~TCardModule();

    TMonForm& Monitor() { return *monitor_; }
    TPCSCConnector& Connector() { return *connector_; }

    HWND HostWindow = nullptr; // receives the card messages 0x401 and 0x402; 0 = none
    std::string CardVersion;   // e.g. "2.2", set by the version probe
    std::string OsVersion;     // e.g. "4.3"
    bool Busy = false;         // a guarded card operation runs

    // The text handed out by the last export that returns one. Its address stays the same
    // from one text to the next while the text fits the reserved room.
    const char* SetResultText(const std::string& text);
    const char* ResultText() const { return resultText_.c_str(); }

    // Logs "label;command", sends the command (hex text) and logs "Result;   " and the answer
    // in the given colour. The answer is hex text for the label "Card,APDU", raw bytes for
    // any other label, and empty when nothing came back.
    void ExchangeLogged(const std::string& label, const std::string& command, std::string& response, int colour);
    // Sends a command; true when the card answered "90 00". The response is the answer's data
    // as hex text without the status word, or "90 00" when the answer was only the status word.
    bool SendApduStatusOk(const std::string& command, std::string& response);
    // As SendApduStatusOk, through the exported SEND_CARD_APDU (so the result text changes).
    bool SendApduText(const std::string& command, std::string& response);

    // Logging helpers for the card operations.
    void Log(const std::string& line);
    void Log(const std::string& line, int colour);

private:
    TMonForm* monitor_;
    TPCSCConnector* connector_; // owned by the monitor window
    std::string resultText_;
};

// The module state, created on first use on the calling thread (the host's GUI thread).
TCardModule& Module();
// Frees the module state when the library is unloaded.
void ReleaseModule();

// Holds the busy flag for one guarded operation; clears it on every way out.
class TBusyGuard {
public:
    explicit TBusyGuard(TCardModule& m) : m_(m) { m_.Busy = true; }
    ~TBusyGuard() { m_.Busy = false; }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

private:
    TCardModule& m_;
};
