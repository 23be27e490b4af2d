#include "register/core/UFuncMon.h"

#include <cstdio>
#include <memory>

#include "gui/base/SysUtils.h"
#include "register/core/URegisterCore.h"

namespace UFuncMon {

void Announce(std::string_view added, bool cleared)
{
    TMonitorLog& log = MonitorLog();
    if (cleared) {
        log.unannounced_.clear();
    } else if (log.batches_ > 0) {
        log.unannounced_ += added;
        return;
    }
    if (const TMonitorListener& listener = RegisterCore().MonitorListener()) listener(added, cleared);
}

std::string TMonitorLog::LogLine(std::string_view line)
{
    std::string added;
    if (!text_.empty()) added = "\r\n";
    added += line;
    text_ += added;
    return added;
}

void TMonitorLog::Append(std::string_view text) { text_ += text; }

void TMonitorLog::Clear() { text_.clear(); }

void TMonitorLog::SaveToFile(const std::string& path) const
{
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) throw EFCreateError(path);
    std::string content = text_;
    if (!content.empty()) content += "\r\n";
    if (std::fwrite(content.data(), 1, content.size(), f.get()) != content.size() || std::fflush(f.get()) != 0)
        throw EStreamError("Fehler beim Schreiben der Datei " + path);
}

TMonitorLog& MonitorLog() { return RegisterCore().MonitorLog(); }

void SetMonitorListener(TMonitorListener listener)
{
    // A new window starts from the whole log, held text included.
    MonitorLog().unannounced_.clear();
    RegisterCore().SetMonitorListener(std::move(listener));
}

void LogToMonitor(std::string_view line)
{
    const std::string added = MonitorLog().LogLine(line);
    Announce(added, false);
}

void AppendToMonitor(std::string_view text)
{
    MonitorLog().Append(text);
    Announce(text, false);
}

void ClearMonitor()
{
    MonitorLog().Clear();
    Announce({}, true);
}

void ShowMonitorNow()
{
    TMonitorLog& log = MonitorLog();
    if (log.unannounced_.empty()) return;
    const std::string held = std::move(log.unannounced_);
    log.unannounced_.clear();
    if (const TMonitorListener& listener = RegisterCore().MonitorListener()) listener(held, false);
}

bool Batching() { return MonitorLog().batches_ > 0; }

TMonitorBatch::TMonitorBatch() { ++MonitorLog().batches_; }

TMonitorBatch::~TMonitorBatch()
{
    TMonitorLog& log = MonitorLog();
    if (--log.batches_ > 0) return;
    try {
        ShowMonitorNow();
    } catch (...) {
        // A window that fails to show the text keeps the log whole all the same.
    }
}

} // namespace UFuncMon
