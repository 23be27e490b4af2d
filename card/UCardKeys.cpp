#include "card/UCardKeys.h"

#include <string>

#include "card/UCardFormats.h"
#include "card/UCardFunc.h"
#include "card/UCardStart.h"
#include "card/UCardText.h"
#include "card/UFileBytes.h"
#include "card/exports/QsmTool.h"
#include "common/UHexASCII.h"

using UCardText::BytesOf;
using UCardText::Hex2;
using UCardText::Hex4;

namespace {

constexpr std::size_t kCertBlock = 384; // 128 bytes in the spaced form
constexpr int kMaxListRounds = 256;     // continuations name their entry in one byte

struct TGenerateCommand {
    const char* heading;
    const char* version22;
    const char* other;
};

const TGenerateCommand kGenerate[] = {
    {"Aktives Schlüsselpaar für Hashen On Board generieren:", "80 46 00 00 04 20 d1 20 e1",
     "00 47 00 00 08 83 02 20 e1 84 02 20 d1"},
    {"Inaktives Schlüsselpaar für Hashen On Board generieren:", "80 46 00 00 04 20 d2 20 e2",
     "00 47 00 00 08 83 02 20 e2 84 02 20 d2"},
    {"Aktives Schlüsselpaar für externes Hashen generieren:", "80 46 00 00 04 20 a1 20 e3",
     "00 47 00 00 08 83 02 20 e3 84 02 20 a1"},
    {"Inaktives Schlüsselpaar für externes Hashen generieren:", "80 46 00 00 04 20 a2 20 e4",
     "00 47 00 00 08 83 02 20 e4 84 02 20 a2"},
};

// Writes key n's record into its import file of EC01.
bool WriteKeyRecord(TCardModule& m, std::int32_t n, const UCardFormats::TKeyLines& lines)
{
    const int id = UCardFormats::ImportFileId(n);
    const std::string record =
        UCardFormats::BuildKeyRecord(UHexASCII::HexTextToBytes(lines.first), UHexASCII::HexTextToBytes(lines.second));
    if (id < 0 || record.empty()) return false;
    return m.SelectFile(kMasterFile) && m.SelectFile(kKorvaDir) && m.SelectFile(id) &&
           m.Send("00 dc 86 00 " + Hex2(record.size()) + UCardText::SpacedHex(record));
}

// Reads key n's record from its export file of 1000.
bool ReadKeyRecord(TCardModule& m, std::int32_t n, std::string& component1, std::string& component2)
{
    const int id = UCardFormats::ExportFileId(n);
    std::string answer;
    return id >= 0 && m.SelectFile(kMasterFile) && m.SelectFile(kApplicationDir) && m.SelectFile(id) &&
           m.SendApduData("00 b2 86 00 00", answer) &&
           UCardFormats::ParseKeyRecord(BytesOf(answer), component1, component2);
}

std::int32_t ImportWith(TCardModule& m, std::int32_t number,
                        const std::function<bool(UCardFormats::TKeyLines&)>& readLines)
{
    if (m.Busy) return qrBusy;
    TBusyGuard busy(m);
    UCardText::LogHeading(m, "Schlüssel importieren");
    UCardFormats::TKeyLines lines;
    if (!readLines(lines) || !WriteKeyRecord(m, number, lines)) return qrFailed;
    m.Log("Schlüssel wurde importiert", clLogBlue);
    return qrOk;
}

} // namespace

std::int32_t ReadCert(TCardModule& m, std::size_t capacity, std::string& certificate)
{
    if (m.Busy) return qrBusy;
    if (!m.SelectFile(kCertificateFile)) return qrFailed;
    m.Log("Lese Zertifikat", clLogBlue);
    std::size_t offset = 0, length = 0;
    std::string le = " 00", collected, answer;
    do {
        if (!m.SendApduData("00 b0 " + Hex4(offset) + le, answer)) return qrFailed;
        const std::string block = BytesOf(answer);
        // A block without data would read the same offset for ever.
        if (block.empty()) return qrFailed;
        if (offset == 0) {
            if (block.size() < 4) return qrFailed;
            length = (static_cast<std::size_t>(static_cast<unsigned char>(block[2])) << 8 |
                      static_cast<unsigned char>(block[3])) +
                     4;
            // Stop before reading what the caller's buffer cannot take.
            if (length > capacity) return qrFailed;
        }
        collected += block;
        offset += block.size();
        if (offset < length && block.size() - 1 + offset >= length) le = " " + Hex2(length - offset);
    } while (offset < length);
    // A block may run on past the certificate into whatever the file holds behind it.
    collected.resize(length);
    certificate = std::move(collected);
    return qrOk;
}

std::int32_t WriteCert(TCardModule& m, std::string_view certificate)
{
    if (m.Busy) return qrBusy;
    const std::string text = UCardText::SpacedHex(certificate);
    TBusyGuard busy(m);
    if (!m.SelectFile(kCertificateFile)) return qrFailed;
    m.Log("Schreibe Zertifikat", clLogBlue);
    const auto blocks = UCardText::SplitBlocks(text, kCertBlock);
    std::size_t offset = 0;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        if (!m.Send("00 d6  " + Hex4(offset) + " 80 " + std::string(blocks[i]) + "00")) return qrFailed;
        offset += blocks[i].size() / 3;
    }
    // The last block also writes one zero byte after the data.
    const std::string_view last = blocks.back();
    if (!m.Send("00 d6  " + Hex4(offset) + " " + Hex2(last.size() / 3 + 1) + " " + std::string(last) + " 00"))
        return qrFailed;
    return qrOk;
}

std::int32_t GenerateKey(TCardModule& m, std::int32_t type)
{
    if (m.Busy) return qrBusy;
    if (type < 1 || type > 4) return qrOk;
    TBusyGuard busy(m);
    if (m.OsVersion.empty()) ProbeCardVersion(m);
    if (m.OsVersion.empty()) return qrFailed;
    if (!m.SelectFile(kMasterFile) || !m.SelectFile(kKorvaDir)) return qrFailed;
    const TGenerateCommand& g = kGenerate[type - 1];
    m.Log("");
    m.Log(g.heading, clLogMaroon);
    m.Log("");
    return m.Send(m.CardVersion == "2.2" ? g.version22 : g.other) ? qrOk : qrFailed;
}

std::int32_t ImportKey(TCardModule& m, std::int32_t number, std::string_view keyText)
{
    return ImportWith(m, number, [&](UCardFormats::TKeyLines& lines) {
        lines = UCardFormats::SplitKeyText(keyText);
        return true;
    });
}

std::int32_t ImportKeyFromFile(TCardModule& m, std::int32_t number, const std::string& fileName)
{
    return ImportWith(m, number, [&](UCardFormats::TKeyLines& lines) {
        std::string content;
        if (!ReadFileBytes(fileName, content)) {
            m.Log("Datei " + fileName + " nicht vorhanden! ", clLogRed);
            return false;
        }
        lines = UCardFormats::ReadKeyFile(content);
        return true;
    });
}

std::int32_t ExportKey(TCardModule& m, std::int32_t number, const TKeySink& sink)
{
    if (m.Busy) return qrBusy;
    TBusyGuard busy(m);
    UCardText::LogHeading(m, "Schlüssel exportieren");
    std::string component1, component2;
    if (!ReadKeyRecord(m, number, component1, component2) ||
        !sink(UCardText::PlainHex(component1) + "\r\n" + UCardText::PlainHex(component2)))
        return qrFailed;
    m.Log("Schlüssel #" + std::to_string(number) + " wurde exportiert", clLogBlue);
    return qrOk;
}

std::int32_t ExportKeyToFile(TCardModule& m, std::int32_t number, const std::string& fileName)
{
    return ExportKey(m, number, [&](const std::string& keyText) { return WriteFileBytes(fileName, keyText); });
}

std::int32_t ListKorvaFiles(TCardModule& m, std::string& list)
{
    if (m.Busy) return qrBusy;
    TBusyGuard busy(m);
    UCardText::LogHeading(m, "Elementardateien lesen");
    std::string answer;
    // The master file's select as this listing has always written it.
    if (!m.Send("00A4000C023F00") || !m.SendApduData("80 16 02 00 00 00", answer)) return qrFailed;
    if (answer.find("86 02 EC 01") == std::string::npos) {
        m.Log("keine KORVA-Struktur vorhanden", clLogMaroon);
        m.Log("Lesen beendet", clLogBlue);
        return qrFailed;
    }
    if (!m.SelectFile(kKorvaDir) || !m.SendApduData("80 16 02 00 00 00", answer)) return qrFailed;
    std::string files;
    for (int round = 0;; ++round) {
        std::string continuation;
        const UCardFormats::TListRest rest = UCardFormats::TakeListEntries(answer, files, continuation);
        if (rest == UCardFormats::TListRest::Done) break;
        if (rest == UCardFormats::TListRest::Bad || round >= kMaxListRounds ||
            !m.SendApduData("80 16 02 " + continuation + " 00 00", answer))
            return qrFailed;
    }
    m.Log("folgende Elementar-File sind im KORVA-Unterverzeichnis: ", clLogMaroon);
    m.Log("");
    m.Log(files, clLogMaroon);
    m.Log("");
    m.Log("Lesen beendet", clLogBlue);
    list = files;
    return qrOk;
}
