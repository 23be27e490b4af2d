// The exported functions of QsmTool. Each export catches every exception: nothing escapes
// across the library boundary, failures are return codes.
#include "card/exports/QsmTool.h"

#include <string>

#include "card/MonForm.h"
#include "card/UCardFunc.h"
#include "card/UCardStart.h"
#include "card/UExportGuard.h"
#include "card/ULangeZahlen.h"

namespace {

constexpr const char* kEmpty = "";

} // namespace

// The text goes into the module, valid until the next call.
QSM_API void __stdcall HEX_TO_DEC(const char** result, const char* hex)
{
    if (!result) return;
    *result = kEmpty;
    Guarded<std::int32_t>(qrOk, [&] {
        *result = Module().SetHexToDecText(TLangeZahlen::HexToDec(hex ? hex : ""));
        return qrOk;
    });
}

QSM_API std::int32_t __stdcall SEND_CARD_APDU(const char* command, const char** response)
{
    if (response) *response = kEmpty;
    return Guarded<std::int32_t>(qrFailed, [&] {
        TCardModule& m = Module();
        std::string text;
        if (!m.SendApduText(command ? command : "", text)) return qrFailed;
        if (response) *response = m.ResultText();
        return qrOk;
    });
}

QSM_API std::int32_t __stdcall STATE_SEND_CARD_APDU(const char* command, const char** response)
{
    return Guarded<std::int32_t>(qrFailed, [&] {
        TCardModule& m = Module();
        if (m.Busy) return qrBusy;
        TBusyGuard busy(m);
        Sleep(0);
        std::string text;
        m.ExchangeLogged("Card,APDU", command ? command : "", text, clLogBlack);
        // No answer at all is a failed exchange, not an empty success.
        if (text.empty()) return qrFailed;
        // Only an answer that is the success status alone is handed out empty; any other
        // answer, even one whose data begins with the bytes 90 00, keeps all its bytes.
        if (text == "90 00") text.clear();
        const char* out = m.SetResultText(text);
        if (response) *response = out;
        return qrOk;
    });
}

QSM_API std::int32_t __stdcall GET_CARDSYS_INFO(const char** report)
{
    if (report) *report = kEmpty;
    return Guarded<std::int32_t>(qrFailed, [&] {
        TCardModule& m = Module();
        std::string text;
        const std::int32_t rc = GetCardSysInfo(m, text);
        if (rc != qrBusy) {
            const char* out = m.SetResultText(text);
            if (report) *report = out;
        }
        return rc;
    });
}

QSM_API std::int32_t __stdcall START_CARD()
{
    return Guarded<std::int32_t>(qrFailed, [] { return StartCard(Module()); });
}

QSM_API void __stdcall RESET_CARD() {}

QSM_API void __stdcall DISCONNECT_CARD()
{
    Guarded<std::int32_t>(qrOk, [] {
        DisconnectCard(Module());
        return qrOk;
    });
}

QSM_API std::int32_t __stdcall SET_DEBUGWINDOW(std::int32_t logging, std::int32_t visible)
{
    return Guarded<std::int32_t>(qrOk, [&] {
        TMonForm& monitor = Module().Monitor();
        monitor.SetVisible(visible != 0);
        monitor.SetLogging(logging != 0);
        return qrOk;
    });
}

QSM_API std::int32_t __stdcall TYPE_DEBUGWINDOW(const char* text)
{
    return Guarded<std::int32_t>(qrOk, [&] {
        Module().Monitor().AddLine(text ? text : "");
        return qrOk;
    });
}

QSM_API std::int32_t __stdcall TYPECL_DEBUGWINDOW(const char* text, std::int32_t colour)
{
    return Guarded<std::int32_t>(qrOk, [&] {
        Module().Monitor().AddColoredLine(text ? text : "", colour);
        return qrOk;
    });
}

QSM_API std::int32_t __stdcall RESET_DEBUGWINDOW()
{
    return Guarded<std::int32_t>(qrOk, [] {
        Module().Monitor().ClearLog();
        return qrOk;
    });
}

QSM_API void __stdcall SW_VERSION(const char** result)
{
    if (result) *result = "Version 0.2 / 12.8.09";
}

QSM_API std::int32_t __stdcall SET_APPL_HANDLE(HWND host)
{
    return Guarded<std::int32_t>(qrOk, [&] {
        Module().HostWindow = host;
        return qrOk;
    });
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // On FreeLibrary the module state goes away in order. Once a reader has been watched the
    // library is pinned and this never runs before the process ends: at process exit the
    // threads are already gone and Windows frees everything.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        try {
            ReleaseModule();
        } catch (...) {
        }
    }
    return TRUE;
}
