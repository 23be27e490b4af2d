#include "card/UCardSign.h"

#include <windows.h>

#include "card/UCardFormats.h"
#include "card/UCardFunc.h"
#include "card/UCardText.h"
#include "card/UFileBytes.h"
#include "common/UHexASCII.h"

using UCardText::Hex2;

namespace {

constexpr std::size_t kHashBlock = 384; // 128 bytes in the spaced form
constexpr std::size_t kMaxLc = 255;

bool SelectKorva(TCardModule& m)
{
    std::string answer;
    return m.SendApduText("00 A4 00 0C 02 3F 00", answer) && m.SendApduText("00 A4 00 0C 02 EC 01", answer);
}

bool SetKey(TCardModule& m, const std::string& keyRef)
{
    std::string answer;
    return m.SendApduText("00 22 43 " + keyRef + " 00 00", answer);
}

} // namespace

void ProcessPendingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::int32_t SignData(TCardModule& m, std::string_view data, const std::string& keyRef, const TSignatureSink& sink)
{
    if (m.Busy) return 1;
    TBusyGuard busy(m);
    UCardText::LogHeading(m, "Signieren");
    if (!SelectKorva(m) || !SetKey(m, keyRef)) return -1;
    const std::string text = UCardFormats::DataText(data, keyRef == "11" || keyRef == "12");
    const auto blocks = UCardFormats::ChainBlocks(text);
    std::string answer;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        m.Log("Blockverkettung aktiviert", clLogMaroon);
        if (!m.SendApduText(" 10 2A 9E 9A " + Hex2(blocks[i].size() / 2) + std::string(blocks[i]) + "00", answer))
            return -1;
        ProcessPendingMessages();
    }
    m.Log("Blockverkettung deaktiviert", clLogMaroon);
    const std::string_view last = blocks.back();
    if (!m.SendApduText(" 00 2A 9E 9A " + Hex2(last.size() / 2) + std::string(last) + "00", answer)) return -1;
    m.Log("");
    m.Log("Signatur wird berechnet, bitte warten");
    if (!sink(UCardFormats::SignatureText(answer))) return -1;
    m.Log("Die Signatur wurde berechnet und abgespeichert.", clLogBlue);
    return 0;
}

std::int32_t SignFile(TCardModule& m, const std::string& fileName, const std::string& keyRef)
{
    if (m.Busy) return 1;
    std::string data;
    if (!ReadFileBytes(fileName, data)) return -1;
    return SignData(m, data, keyRef,
                    [&](const std::string& signature) { return WriteFileBytes(fileName + ".sig", signature); });
}

std::int32_t VerifyData(TCardModule& m, std::string_view data, const std::string& keyRef,
                        std::string_view signatureText)
{
    if (m.Busy) return 1;
    TBusyGuard busy(m);
    UCardText::LogHeading(m, "Verifizieren");
    const bool direct = !keyRef.empty() && (keyRef[0] == '1' || keyRef[0] == '3');
    const std::string text = UCardFormats::DataText(data, direct);
    const std::string signature = UCardFormats::SignatureDigits(signatureText);
    const auto blocks = UCardFormats::ChainBlocks(text);
    const std::size_t lastBytes = blocks.back().size() / 2;
    const std::size_t signatureBytes = signature.size() / 2;
    // The last command carries data and signature behind one length byte.
    if (lastBytes + signatureBytes + 4 > kMaxLc) {
        m.Log("Die Verifikation ist fehlgeschlagen.", clLogRed);
        return -1;
    }
    if (!SelectKorva(m) || !SetKey(m, keyRef)) return -1;
    std::string answer;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        m.Log("Blockverkettung aktiviert", clLogMaroon);
        const std::size_t n = blocks[i].size() / 2;
        if (!m.SendApduText(" 10 2A 00 A8 " + Hex2(n + 2) + " 9A " + Hex2(n) + std::string(blocks[i]), answer))
            return -1;
        ProcessPendingMessages();
    }
    m.Log("Blockverkettung deaktiviert", clLogMaroon);
    if (!m.SendApduText(" 00 2A 00 A8 " + Hex2(lastBytes + signatureBytes + 4) + " 9A " + Hex2(lastBytes) +
                            std::string(blocks.back()) + " 9E " + Hex2(signatureBytes) + signature,
                        answer)) {
        m.Log("Die Verifikation ist fehlgeschlagen.", clLogRed);
        return -1;
    }
    m.Log("Signatur korrekt.", clLogBlue);
    return 0;
}

std::int32_t VerifyFile(TCardModule& m, const std::string& dataFile, const std::string& signatureFile,
                        const std::string& keyRef)
{
    if (m.Busy) return 1;
    std::string data, signature;
    if (!ReadFileBytes(dataFile, data) || !ReadFileBytes(signatureFile, signature)) return -1;
    return VerifyData(m, data, keyRef, signature);
}

std::int32_t HashData(TCardModule& m, std::string_view data, std::string& hash)
{
    if (m.Busy) return 1;
    const std::string text = UCardText::SpacedHex(data);
    TBusyGuard busy(m);
    std::string answer;
    if (!m.SendApduText("00 A4 00 0C 02 11 10", answer)) return -1;
    m.Log("Berechne Hash", clLogBlue);
    const auto blocks = UCardText::SplitBlocks(text, kHashBlock);
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        if (!m.SendApduText("10 2A 90 80 " + Hex2(blocks[i].size() / 3) + std::string(blocks[i]) + " 00", answer))
            return -1;
        ProcessPendingMessages();
    }
    const std::string_view last = blocks.back();
    if (!m.SendApduText("00 2A 90 80 " + Hex2(last.size() / 3) + std::string(last) + " 00", answer)) return -1;
    std::string value = UCardText::BytesOf(answer);
    // The caller's buffer holds a SHA-1 value: any other answer is refused, not copied.
    if (value.size() != kHashBytes) return -1;
    hash = std::move(value);
    return 0;
}
