// The register monitor ("Kasse-Monitor"): the log that every unit of the core writes to.
// The log text lives in the core's state (URegisterCore.h); the monitor window shows it and is
// told of every change, so the core logs with or without a window. The module routines below
// need the program's core (RegisterCore()).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace UFuncMon {

// Lines separated by CR LF, newest last, no limit.
class TMonitorLog {
public:
    // One line at the end: the line alone in an empty log, else CR LF and the line.
    // Returns the text that was added.
    std::string LogLine(std::string_view line);
    // Text at the end without a line break (continues the last line).
    void Append(std::string_view text);
    void Clear();
    const std::string& Text() const { return text_; }
    // Writes the log's lines, each ended by CR LF, to a file (replacing it). A file that
    // cannot be written raises the class library's file error.
    void SaveToFile(const std::string& path) const;

private:
    friend class TMonitorBatch;
    friend void Announce(std::string_view added, bool cleared);
    friend void SetMonitorListener(std::function<void(std::string_view, bool)> listener);
    friend void ShowMonitorNow();
    friend bool Batching();
    std::string text_;
    // Text added while a TMonitorBatch lives, not yet handed to the listener.
    int batches_ = 0;
    std::string unannounced_;
};

// The program's log (the core's).
TMonitorLog& MonitorLog();

// Called with the text added at the end of the log (by both routines below), and with an
// empty text after the log was cleared through ClearMonitor. The monitor window sets it and
// takes it away again before it goes.
using TMonitorListener = std::function<void(std::string_view added, bool cleared)>;
void SetMonitorListener(TMonitorListener listener);

void LogToMonitor(std::string_view line);
void AppendToMonitor(std::string_view text);
void ClearMonitor();

// Holds the listener's share of the log for one register command (an item booked, a
// transaction, a report): the text added while batches live reaches the listener in one call
// when the outermost one ends, so the window appends it as one edit. The log has the text at
// once; a clear reaches the listener at once (with the held text dropped).
//
//   { UFuncMon::TMonitorBatch batch; LogToMonitor("a"); AppendToMonitor("b"); }  // listener: "\r\nab"
class TMonitorBatch {
public:
    TMonitorBatch();
    ~TMonitorBatch();
    TMonitorBatch(const TMonitorBatch&) = delete;
    TMonitorBatch& operator=(const TMonitorBatch&) = delete;
};

// Hands the held text to the listener now (the command waits for the user, so the window must
// show what was logged so far); the batches stay open.
void ShowMonitorNow();
// Whether a TMonitorBatch is open (the listener is handed the text in parts of a longer run).
bool Batching();

} // namespace UFuncMon
