#include "register/core/UFuncMon.h"

#include <cstdio>
#include <memory>

#include "gui/base/SysUtils.h"
#include "register/core/URegisterCore.h"

namespace UFuncMon {

namespace {

void Notify(std::string_view added, bool cleared)
{
    if (const TMonitorListener& listener = RegisterCore().MonitorListener()) listener(added, cleared);
}

} // namespace

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

void SetMonitorListener(TMonitorListener listener) { RegisterCore().SetMonitorListener(std::move(listener)); }

void LogToMonitor(std::string_view line)
{
    const std::string added = MonitorLog().LogLine(line);
    Notify(added, false);
}

void AppendToMonitor(std::string_view text)
{
    MonitorLog().Append(text);
    Notify(text, false);
}

void ClearMonitor()
{
    MonitorLog().Clear();
    Notify({}, true);
}

} // namespace UFuncMon
