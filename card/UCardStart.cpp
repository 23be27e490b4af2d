#include "card/UCardStart.h"

#include <cstdio>

#include "card/MonForm.h"
#include "card/PCSCConnector.h"
#include "card/UCardFunc.h"
#include "common/UHexASCII.h"
#include "card/ULangeZahlen.h"

const char* const kQsmAtr = "3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74";

namespace {

struct VersionRow {
    const char* pattern;
    const char* card;
    const char* os;
};

const VersionRow kVersionTable[] = {
    {"70 04 0F 01 C8 03", "1.2", "4.01"},          {"70 04 70 01 C8 04", "1.2", "4.01a"},
    {"70 04 72 10 C8 04", "2.2", "4.01a"},         {"70 04 72 80 C8 08 8F 01 01", "2.2", "4.3"},
    {"70 04 70 23 C8 08 8F 01 01", "2.3", "4.3b"},
};

std::string Hex2(int n)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X", n & 0xFF);
    return buf;
}

// Re-reads the reader list from scratch; refuses while another operation runs.
int ReinitConnector(TCardModule& m)
{
    if (m.Busy) return 1;
    TBusyGuard busy(m);
    m.Connector().Disconnect();
    m.Connector().Init();
    return 0;
}

} // namespace

int ProbeCardVersion(TCardModule& m)
{
    m.Log("Card-System-Info:", clLogBlue);
    std::string response;
    if (!m.SendApduText("00 CA 01 88 00", response)) return -1;
    for (const auto& row : kVersionTable) {
        if (response.find(row.pattern) != std::string::npos) {
            m.CardVersion = row.card;
            m.OsVersion = row.os;
            m.Log(std::string("Version der Karte: ") + row.card, clLogBlack);
            m.Log(std::string("Version des OS: ") + row.os, clLogBlack);
            return 0;
        }
    }
    if (m.CardVersion.empty()) m.Log("Card -, OS-Version fehlerhaft", clLogRed);
    return -1;
}

bool SelectQsmApplication(TCardModule& m)
{
    m.Log("QSM-Anwendung auswählen", clLogBlue);
    std::string response;
    return m.SendApduText("00 A4 00 0C 02 3F 00", response) && m.SendApduText("00 A4 00 0C 02 10 00", response);
}

std::int32_t StartCard(TCardModule& m)
{
    if (m.Busy) return 1;
    if (ReinitConnector(m) == 1) return 1;
    TPCSCConnector& pcsc = m.Connector();
    int rc = -1;
    {
        TBusyGuard busy(m);
        m.Log("Start-Card", clLogBlue);
        pcsc.Open();
        m.Log("Anzahl der angeschlossenen Leser " + Hex2(pcsc.NumReaders()), clLogMaroon);
        if (pcsc.NumReaders() == 0) return -2;
        const int last = pcsc.NumReaders() - 1;
        for (int n = 0; n <= last; ++n) {
            pcsc.SetUseReaderNum(n);
            if (!pcsc.Open()) m.Log("Lesegerät kann nicht geöffnet werden ", clLogRed);
            if (!pcsc.Connect()) m.Log("Verbindung zur Karte kann nicht hergestellt werden ", clLogRed);
            for (const auto& name : pcsc.ReaderList())
                m.Log(name, clLogMaroon);
            m.Log(Hex2(pcsc.NumReaders()), clLogMaroon);
            rc = ProbeCardVersion(m);
            if (rc == -1 && n == last) {
                m.Log("Verbindung zur Karte kann nicht hergestellt werden ", clLogRed);
                break;
            }
            if (rc == 0) {
                if (UHexASCII::BytesToHexText(pcsc.AttrCardATR) == kQsmAtr || n == last) break;
                pcsc.Disconnect();
            }
            pcsc.Close();
        }
        SelectQsmApplication(m);
    }
    TMonForm& monitor = m.Monitor();
    pcsc.OnCardRemoved = [&monitor](TObject* sender) {
        monitor.pcsc2CardRemoved(static_cast<TPCSCConnector*>(sender));
    };
    pcsc.OnCardInserted = [&monitor](TObject* sender) {
        monitor.pcsc2CardInserted(static_cast<TPCSCConnector*>(sender));
    };
    if (pcsc.Connected()) monitor.pcsc2CardInserted(nullptr);
    return rc;
}

void DisconnectCard(TCardModule& m)
{
    m.Connector().Disconnect();
    m.Monitor().pcsc2CardRemoved(nullptr);
}

std::int32_t GetCardSysInfo(TCardModule& m, std::string& report)
{
    if (m.Busy) return 1;
    TBusyGuard busy(m);
    m.Log("");
    m.Log("Card-System-Info:", clLogBlue);
    report = "Card-System-Info:\r\n";
    auto info = [&](const std::string& line) {
        m.Log(line, clLogMaroon);
        report += line + "\r\n";
    };
    std::string response;
    m.ExchangeLogged("Card,Info", "", response, clLogMaroon);

    // Step 1: the crypto chip's serial number, hex digits 21 to 32 of the answer.
    if (!m.SendApduText("00 CA 01 81 00", response)) return -1;
    std::string digits = UHexASCII::RemoveBlanks(response);
    const std::string serial = digits.size() >= 32 ? TLangeZahlen::HexToDec(digits.substr(20, 12)) : "";
    if (serial.empty()) return -1;
    info("Seriennummer des Krypto-Chips: " + serial);

    // Step 2: free EEPROM.
    if (!m.SendApduText("00 CA 01 8A 00", response)) return -2;
    const std::string eeprom = TLangeZahlen::HexToDec(UHexASCII::RemoveBlanks(response));
    if (eeprom.empty()) return -2;
    info("verfügbarer EEPROM Speicherplatz: " + eeprom + " Byte");
    m.Log("");

    // Step 3 and 4: the body size of the KORVA subdirectory.
    m.Log("Body-Size des KORVA-Unterverzeichnisses wird ermittelt: ");
    if (!m.SendApduText("00 A4 00 0C 02 3F 00", response)) return -3;
    if (!m.SendApduText("00 A4 00 0C 02 EC 01", response)) {
        m.Log("KORVA-Unterverzeichnis nicht vorhanden! ", clLogRed);
    } else {
        if (!m.SendApduText("00 CA 01 85 00", response)) return -4;
        digits = UHexASCII::RemoveBlanks(response);
        if (!digits.empty() && digits[0] == '0') digits.erase(0, 1);
        const std::string body = TLangeZahlen::HexToDec(digits);
        if (body.empty()) return -4;
        info("verfügbarer Speicherplatz im Body des KORVA-Unterverzeichnisses: " + body + " Byte");
    }

    // Step 5: the operating system's name.
    if (!m.SendApduText("00 CA 01 80 00", response)) return -5;
    std::string os = response.size() >= 2 ? response.substr(0, response.size() - 2) : std::string();
    info("Betriebssystem: " + UHexASCII::HexTextToBytes(os));

    m.Log("");
    ProbeCardVersion(m);
    m.Log("");
    m.Log("Card-System-Info abgeschlossen", clLogBlue);
    return 0;
}
