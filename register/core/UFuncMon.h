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
    std::string text_;
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

} // namespace UFuncMon
