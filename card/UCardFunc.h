// The card library's module state and the logged exchange routines that every card command
// passes through. One TCardModule exists per loaded library; the exports reach it with
// Module() and are a thin frame over it. The module owns the monitor window, which owns the
// connector; the monitor reaches back only through the two hooks the module gives it.
#pragma once

#include <windows.h>

#include <string>

#include "card/ULogColours.h"

class TPCSCConnector;
class TMonForm;

class TCardModule {
public:
    TCardModule();
    ~TCardModule();
    TCardModule(const TCardModule&) = delete;
    TCardModule& operator=(const TCardModule&) = delete;

    TMonForm& Monitor() { return *monitor_; }
    TPCSCConnector& Connector() { return *connector_; }

    HWND HostWindow = nullptr; // receives the card messages 0x401 and 0x402; 0 = none
    std::string CardVersion;   // e.g. "2.2", set by the version probe
    std::string OsVersion;     // e.g. "4.3"
    bool Busy = false;         // a guarded card operation runs (re-entry on this thread only)

    // The text handed out by the last export that returns one. Its address stays the same
    // from one text to the next while the text fits the reserved room.
    const char* SetResultText(const std::string& text);
    const char* ResultText() const { return resultText_.c_str(); }
    // The text of the last HEX_TO_DEC, valid until the next.
    const char* SetHexToDecText(std::string text);

    // Logs "label;command", sends the command (hex text) and logs "Result;   " and the answer
    // in the given colour. The answer is hex text for the label "Card,APDU", raw bytes for
    // any other label, and empty when nothing came back.
    void ExchangeLogged(const std::string& label, const std::string& command, std::string& response, int colour);
    // Sends a command; true when the card answered "90 00". The response is the answer's data
    // as hex text without the status word, or "90 00" when the answer was only the status word.
    bool SendApduStatusOk(const std::string& command, std::string& response);
    // The command exchange of SEND_CARD_APDU, through which the card operations send: as
    // SendApduStatusOk, and a successful response also becomes the result text. On failure
    // the response is empty and the result text stays.
    bool SendApduText(const std::string& command, std::string& response);
    // As SendApduText where the answer carries data: a bare "90 00" gives empty data.
    bool SendApduData(const std::string& command, std::string& data);
    // As SendApduText where only the status matters.
    bool Send(const std::string& command);
    // Selects a file of the card by its identifier ("00 A4 00 0C 02 3F 00" for 3F00).
    bool SelectFile(int fileId);

    // Logging helpers for the card operations.
    void Log(const std::string& line);
    void Log(const std::string& line, int colour);

private:
    TMonForm* monitor_;
    TPCSCConnector* connector_; // owned by the monitor window
    std::string resultText_;
    std::string hexToDecText_;
};

// Card file identifiers.
constexpr int kMasterFile = 0x3F00;
constexpr int kApplicationDir = 0x1000;
constexpr int kKorvaDir = 0xEC01;
constexpr int kCertificateFile = 0x1110;

// The module state, created on first use on the calling thread (the host's GUI thread).
TCardModule& Module();
// Frees the module state when the library is unloaded.
void ReleaseModule();

// Holds the monitor's lines for one export (TMonForm::BeginBatch): what the export logs is
// shown when it returns, as one edit. Does nothing while the module does not exist yet, or
// when it went during the export.
class TExportLines {
public:
    TExportLines();
    ~TExportLines();
    TExportLines(const TExportLines&) = delete;
    TExportLines& operator=(const TExportLines&) = delete;

private:
    TCardModule* module_;
};

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
