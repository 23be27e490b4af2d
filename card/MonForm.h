// TMonForm: the card library's "Cardmonitor" window. Every exchange with the card and every
// step of the card operations is written into it as a coloured log line. It also receives the
// reader's insertion and removal events, debounces the insertion and tells the host window.
#pragma once

#include <windows.h>

#include <string>

class TPCSCConnector;

// Sent to the host window: a card was inserted (after the debounce) or removed.
constexpr UINT WM_CARD_INSERTED = 0x401;
constexpr UINT WM_CARD_REMOVED = 0x402;

class TMonForm {
public:
    TMonForm();
    ~TMonForm();
    TMonForm(const TMonForm&) = delete;
    TMonForm& operator=(const TMonForm&) = delete;

    HWND Handle() const { return hwnd_; }
    void SetVisible(bool visible);
    bool Visible() const;

    void SetLogging(bool on) { logging_ = on; }
    bool Logging() const { return logging_; }
    // Appends one line in the current colour (only while logging); an empty text becomes one
    // blank. A log past 32000 characters first loses its 11 oldest lines.
    void AddLine(const std::string& text);
    // Appends one line in the given colour (0x00BBGGRR); the colour ends with the line.
    void AddColoredLine(const std::string& text, int colour);
    void ClearLog();
    std::string LogText() const;

    // Card events of the connector.
    void pcsc2CardInserted(TPCSCConnector* sender);
    void pcsc2CardRemoved(TPCSCConnector* sender);
    void prellTimerTimer();
    bool PrellTimerRunning() const { return prellRunning_; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void SetSelectionColour(COLORREF colour);
    void CaretToEnd();
    void DeleteOldestLines(int count);

    HWND hwnd_ = nullptr;
    HWND mess_ = nullptr;      // the rich edit holding the log
    HMENU menu_ = nullptr;
    HFONT font_ = nullptr;
    bool logging_ = false;
    bool prellRunning_ = false;
};
