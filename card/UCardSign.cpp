#include "card/UCardSign.h"

#include <windows.h>

#include "card/UCardFormats.h"
#include "card/UCardFunc.h"
#include "card/UCardText.h"
#include "card/UFileBytes.h"
#include "card/exports/QsmTool.h"

using UCardText::Hex2;

namespace {

constexpr std::size_t kHashBlock = 384; // 128 bytes in the spaced form
constexpr std::size_t kMaxLc = 255;

bool SelectKorva(TCardModule& m) { return m.SelectFile(kMasterFile) && m.SelectFile(kKorvaDir); }

bool SetKey(TCardModule& m, const std::string& keyRef) { return m.Send("00 22 43 " + keyRef + " 00 00"); }

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
    if (m.Busy) return qrBusy;
    TBusyGuard busy(m);
    UCardText::LogHeading(m, "Signieren");
    if (!SelectKorva(m) || !SetKey(m, keyRef)) return qrFailed;
    const std::string text = UCardFormats::DataText(data, keyRef == "11" || keyRef == "12");
    const auto blocks = UCardFormats::ChainBlocks(text);
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        m.Log("Blockverkettung aktiviert", clLogMaroon);
        if (!m.Send(" 10 2A 9E 9A " + Hex2(blocks[i].size() / 2) + std::string(blocks[i]) + "00")) return qrFailed;
        ProcessPendingMessages();
    }
    m.Log("Blockverkettung deaktiviert", clLogMaroon);
    const std::string_view last = blocks.back();
    std::string signature;
    if (!m.SendApduData(" 00 2A 9E 9A " + Hex2(last.size() / 2) + std::string(last) + "00", signature) ||
        signature.empty())
        return qrFailed;
    m.Log("");
    m.Log("Signatur wird berechnet, bitte warten");
    if (!sink(UCardFormats::SignatureText(signature))) return qrFailed;
    m.Log("Die Signatur wurde berechnet und abgespeichert.", clLogBlue);
    return qrOk;
}

std::int32_t SignFile(TCardModule& m, const std::string& fileName, const std::string& keyRef)
{
    if (m.Busy) return qrBusy;
    std::string data;
    if (!ReadFileBytes(fileName, data)) return qrFailed;
    return SignData(m, data, keyRef,
                    [&](const std::string& signature) { return WriteFileBytes(fileName + ".sig", signature); });
}

std::int32_t VerifyData(TCardModule& m, std::string_view data, const std::string& keyRef,
                        std::string_view signatureText)
{
    if (m.Busy) return qrBusy;
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
        return qrFailed;
    }
    if (!SelectKorva(m) || !SetKey(m, keyRef)) return qrFailed;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        m.Log("Blockverkettung aktiviert", clLogMaroon);
        const std::size_t n = blocks[i].size() / 2;
        if (!m.Send(" 10 2A 00 A8 " + Hex2(n + 2) + " 9A " + Hex2(n) + std::string(blocks[i]))) return qrFailed;
        ProcessPendingMessages();
    }
    m.Log("Blockverkettung deaktiviert", clLogMaroon);
    if (!m.Send(" 00 2A 00 A8 " + Hex2(lastBytes + signatureBytes + 4) + " 9A " + Hex2(lastBytes) +
                std::string(blocks.back()) + " 9E " + Hex2(signatureBytes) + signature)) {
        m.Log("Die Verifikation ist fehlgeschlagen.", clLogRed);
        return qrFailed;
    }
    m.Log("Signatur korrekt.", clLogBlue);
    return qrOk;
}

std::int32_t VerifyFile(TCardModule& m, const std::string& dataFile, const std::string& signatureFile,
                        const std::string& keyRef)
{
    if (m.Busy) return qrBusy;
    std::string data, signature;
    if (!ReadFileBytes(dataFile, data) || !ReadFileBytes(signatureFile, signature)) return qrFailed;
    return VerifyData(m, data, keyRef, signature);
}

std::int32_t HashData(TCardModule& m, std::string_view data, std::string& hash)
{
    if (m.Busy) return qrBusy;
    const std::string text = UCardText::SpacedHex(data);
    TBusyGuard busy(m);
    if (!m.SelectFile(kCertificateFile)) return qrFailed;
    m.Log("Berechne Hash", clLogBlue);
    const auto blocks = UCardText::SplitBlocks(text, kHashBlock);
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        if (!m.Send("10 2A 90 80 " + Hex2(blocks[i].size() / 3) + std::string(blocks[i]) + " 00")) return qrFailed;
        ProcessPendingMessages();
    }
    const std::string_view last = blocks.back();
    std::string answer;
    if (!m.SendApduData("00 2A 90 80 " + Hex2(last.size() / 3) + std::string(last) + " 00", answer)) return qrFailed;
    std::string value = UCardText::BytesOf(answer);
    // The caller's buffer holds a SHA-1 value: any other answer is refused, not copied.
    if (value.size() != kHashBytes) return qrFailed;
    hash = std::move(value);
    return qrOk;
}
