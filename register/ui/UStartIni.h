// The register's start settings "cfg\start.ini" beside the executable: read by the main window
// at start, written back when it closes. Booleans are integers (0 false, any other true).
//
//   [Languages] act=Deutsch           [Windows] Card=1, Func=1, Time=0 (and Cash, written only)
//   [CFG] operator=ich, operator2=... [Menue] Debug=1                  (read only)
//   [Tax] container1..6=1900 ...      [Card] Versionen=v2.2;v2.3;      (read only)
//   [TaxMode] ExklSteuer=0            [View] skin enabled=0, skin name=
//
// A missing file or key gives the default; a value that is not a number gives the default of
// a Boolean, a rate that is not four digits the default rate of its class.
#pragma once

#include <array>
#include <string>

struct TStartSettings {
    std::string language = "Deutsch";
    std::string operator1 = "ich";
    std::string operator2 = "ein anderer";
    // VAT rates of classes 1..6 in hundredths of a percent, four digits each.
    std::array<std::string, 6> rates = {"1900", "0700", "1900", "0000", "1070", "0550"};
    bool exklSteuer = false;
    bool skinEnabled = false;
    std::string skinName;
    bool cardMonitor = false;
    bool funcMonitor = false;
    bool timePanel = false;
    bool debugMenu = false;
    // The accepted card versions ("v2.2;v2.3;"); empty accepts no card.
    std::string versions;
};

// What the main window writes back at close.
struct TStartState {
    std::string language, operator1, operator2;
    std::array<std::string, 6> rates; // the rate panels' texts
    bool exklSteuer = false, cash = false, skinEnabled = false;
    std::string skinName;
    bool cardMonitor = false, funcMonitor = false, timePanel = false;
};

// "cfg\start.ini" in the executable's folder.
std::string StartIniPath();
// Whether a text is a stored rate: exactly four digits ("1900", "0000").
bool IsRateText(const std::string& text);
TStartSettings ReadStartIni(const std::string& path);
// Writes, in this order: act; operator, operator2; container1..6; ExklSteuer; Cash; skin
// enabled, skin name; Card, Func, Time. A rate that is not four digits (a translated panel
// caption) is not written, so the stored rate stays. Creates the file when it is missing.
void WriteStartIni(const std::string& path, const TStartState& state);
