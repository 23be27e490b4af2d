#include "register/ui/UStartIni.h"

#include "gui/Forms.h"
#include "gui/base/IniFiles.h"

std::string StartIniPath() { return Application->ExeFolder() + "cfg\\start.ini"; }

bool IsRateText(const std::string& text)
{
    if (text.size() != 4) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

TStartSettings ReadStartIni(const std::string& path)
{
    const TIniFile ini(path);
    TStartSettings s;
    s.language = ini.ReadString("Languages", "act", s.language);
    s.operator1 = ini.ReadString("CFG", "operator", s.operator1);
    s.operator2 = ini.ReadString("CFG", "operator2", s.operator2);
    for (size_t i = 0; i < s.rates.size(); ++i) {
        const std::string rate = ini.ReadString("Tax", "container" + std::to_string(i + 1), s.rates[i]);
        if (IsRateText(rate)) s.rates[i] = rate;
    }
    s.exklSteuer = ini.ReadBool("TaxMode", "ExklSteuer", s.exklSteuer);
    s.skinEnabled = ini.ReadBool("View", "skin enabled", s.skinEnabled);
    s.skinName = ini.ReadString("View", "skin name", s.skinName);
    s.cardMonitor = ini.ReadBool("Windows", "Card", s.cardMonitor);
    s.funcMonitor = ini.ReadBool("Windows", "Func", s.funcMonitor);
    s.timePanel = ini.ReadBool("Windows", "Time", s.timePanel);
    s.debugMenu = ini.ReadBool("Menue", "Debug", s.debugMenu);
    s.versions = ini.ReadString("Card", "Versionen", s.versions);
    return s;
}

void WriteStartIni(const std::string& path, const TStartState& state)
{
    TIniFile ini(path);
    ini.WriteString("Languages", "act", state.language);
    ini.WriteString("CFG", "operator", state.operator1);
    ini.WriteString("CFG", "operator2", state.operator2);
    for (size_t i = 0; i < state.rates.size(); ++i)
        if (IsRateText(state.rates[i])) ini.WriteString("Tax", "container" + std::to_string(i + 1), state.rates[i]);
    ini.WriteBool("TaxMode", "ExklSteuer", state.exklSteuer);
    ini.WriteBool("Windows", "Cash", state.cash);
    ini.WriteBool("View", "skin enabled", state.skinEnabled);
    ini.WriteString("View", "skin name", state.skinName);
    ini.WriteBool("Windows", "Card", state.cardMonitor);
    ini.WriteBool("Windows", "Func", state.funcMonitor);
    ini.WriteBool("Windows", "Time", state.timePanel);
}
