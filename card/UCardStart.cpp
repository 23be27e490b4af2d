#include "card/UCardStart.h"

#include "card/MonForm.h"
#include "card/PCSCConnector.h"
#include "card/UCardFunc.h"
#include "card/UCardText.h"
#include "card/ULangeZahlen.h"
#include "card/exports/QsmTool.h"
#include "common/UHexASCII.h"

using UCardText::Hex2;

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

// A size the card reports is a 32-bit count: an answer of more digits means no size, and
// its conversion is not even tried.
constexpr std::size_t kMaxSizeDigits = 8;

std::string DecimalSize(const std::string& digits)
{
    return digits.empty() || digits.size() > kMaxSizeDigits ? std::string() : TLangeZahlen::HexToDec(digits);
}

// Re-reads the reader list from scratch; refuses while another operation runs.
std::int32_t ReinitConnector(TCardModule& m)
{
    if (m.Busy) return qrBusy;
    TBusyGuard busy(m);
    m.Connector().Disconnect();
    m.Connector().Init();
    return qrOk;
}

} // namespace

std::int32_t ProbeCardVersion(TCardModule& m)
{
    m.Log("Card-System-Info:", clLogBlue);
    std::string response;
    if (!m.SendApduText("00 CA 01 88 00", response)) return qrFailed;
    for (const auto& row : kVersionTable) {
        if (response.find(row.pattern) != std::string::npos) {
            m.CardVersion = row.card;
            m.OsVersion = row.os;
            m.Log(std::string("Version der Karte: ") + row.card, clLogBlack);
            m.Log(std::string("Version des OS: ") + row.os, clLogBlack);
            return qrOk;
        }
    }
    if (m.CardVersion.empty()) m.Log("Card -, OS-Version fehlerhaft", clLogRed);
    return qrFailed;
}

bool SelectQsmApplication(TCardModule& m)
{
    m.Log("QSM-Anwendung auswählen", clLogBlue);
    return m.SelectFile(kMasterFile) && m.SelectFile(kApplicationDir);
}

std::int32_t StartCard(TCardModule& m)
{
    if (m.Busy) return qrBusy;
    if (ReinitConnector(m) == qrBusy) return qrBusy;
    TPCSCConnector& pcsc = m.Connector();
    std::int32_t rc = qrFailed;
    {
        TBusyGuard busy(m);
        m.Log("Start-Card", clLogBlue);
        pcsc.Open();
        const std::size_t count = static_cast<std::size_t>(pcsc.NumReaders());
        m.Log("Anzahl der angeschlossenen Leser " + Hex2(count), clLogMaroon);
        if (count == 0) return qrNoReader;
        const int last = pcsc.NumReaders() - 1;
        for (int n = 0; n <= last; ++n) {
            pcsc.SetUseReaderNum(n);
            if (!pcsc.Open()) m.Log("Lesegerät kann nicht geöffnet werden ", clLogRed);
            if (!pcsc.Connect()) m.Log("Verbindung zur Karte kann nicht hergestellt werden ", clLogRed);
            for (const auto& name : pcsc.ReaderList())
                m.Log(name, clLogMaroon);
            m.Log(Hex2(count), clLogMaroon);
            rc = ProbeCardVersion(m);
            if (rc == qrFailed && n == last) {
                m.Log("Verbindung zur Karte kann nicht hergestellt werden ", clLogRed);
                break;
            }
            if (rc == qrOk) {
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
    if (m.Busy) return qrBusy;
    TBusyGuard busy(m);
    m.Log("");
    m.Log("Card-System-Info:", clLogBlue);
    report = "Card-System-Info:\r\n";
    auto info = [&](const std::string& line) {
        m.Log(line, clLogMaroon);
        report += line + "\r\n";
    };
    std::string data;
    m.ExchangeLogged("Card,Info", "", data, clLogMaroon);

    // Step 1: the crypto chip's serial number, hex digits 21 to 32 of the answer.
    if (!m.SendApduData("00 CA 01 81 00", data)) return csSerialNumber;
    std::string digits = UHexASCII::RemoveBlanks(data);
    if (digits.size() < 32) return csSerialNumber;
    info("Seriennummer des Krypto-Chips: " + TLangeZahlen::HexToDec(digits.substr(20, 12)));

    // Step 2: free EEPROM.
    if (!m.SendApduData("00 CA 01 8A 00", data)) return csEeprom;
    const std::string eeprom = DecimalSize(UHexASCII::RemoveBlanks(data));
    if (eeprom.empty()) return csEeprom;
    info("verfügbarer EEPROM Speicherplatz: " + eeprom + " Byte");
    m.Log("");

    // Step 3 and 4: the body size of the KORVA subdirectory.
    m.Log("Body-Size des KORVA-Unterverzeichnisses wird ermittelt: ");
    if (!m.SelectFile(kMasterFile)) return csMasterFile;
    if (!m.SelectFile(kKorvaDir)) {
        m.Log("KORVA-Unterverzeichnis nicht vorhanden! ", clLogRed);
    } else {
        if (!m.SendApduData("00 CA 01 85 00", data)) return csKorvaSize;
        digits = UHexASCII::RemoveBlanks(data);
        if (digits.size() > kMaxSizeDigits) return csKorvaSize;
        if (!digits.empty() && digits[0] == '0') digits.erase(0, 1);
        const std::string body = DecimalSize(digits);
        if (body.empty()) return csKorvaSize;
        info("verfügbarer Speicherplatz im Body des KORVA-Unterverzeichnisses: " + body + " Byte");
    }

    // Step 5: the operating system's name, its closing zero byte dropped.
    if (!m.SendApduData("00 CA 01 80 00", data) || data.empty()) return csOsName;
    info("Betriebssystem: " + UHexASCII::HexTextToBytes(data.substr(0, data.size() - 2)));

    m.Log("");
    ProbeCardVersion(m);
    m.Log("");
    m.Log("Card-System-Info abgeschlossen", clLogBlue);
    return qrOk;
}
