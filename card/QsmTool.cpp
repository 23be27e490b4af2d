// The exported functions of QsmTool. Each export catches every exception: nothing escapes
// across the library boundary, failures are return codes.
#include "card/exports/QsmTool.h"

#include <string>

#include "card/MonForm.h"
#include "card/PCSCConnector.h"
#include "card/UCardFunc.h"
#include "card/UCardStart.h"
#include "card/UExportGuard.h"
#include "card/ULangeZahlen.h"

namespace {

constexpr const char* kEmpty = "";

// Texts handed out through a caller's text variable stay valid until the next call of the
// same export.
std::string g_hexToDecText;

} // namespace

QSM_API void __stdcall HEX_TO_DEC(const char** result, const char* hex)
{
    if (!result) return;
    try {
        g_hexToDecText = TLangeZahlen::HexToDec(hex ? hex : "");
    } catch (...) {
        g_hexToDecText.clear();
    }
    *result = g_hexToDecText.c_str();
}

QSM_API std::int32_t __stdcall SEND_CARD_APDU(const char* command, const char** response)
{
    if (response) *response = kEmpty;
    return Guarded(-1, [&]() -> std::int32_t {
        TCardModule& m = Module();
        std::string text;
        if (!m.SendApduStatusOk(command ? command : "", text)) return -1;
        const char* out = m.SetResultText(text);
        if (response) *response = out;
        return 0;
    });
}

QSM_API std::int32_t __stdcall STATE_SEND_CARD_APDU(const char* command, const char** response)
{
    return Guarded(-1, [&]() -> std::int32_t {
        TCardModule& m = Module();
        if (m.Busy) return 1;
        TBusyGuard busy(m);
        Sleep(0);
        std::string text;
        m.ExchangeLogged("Card,APDU", command ? command : "", text, clLogBlack);
        // No answer at all is a failed exchange, not an empty success.
        if (text.empty()) return -1;
        if (text.size() >= 5 && text.compare(0, 5, "90 00") == 0) text.erase(0, 5);
        const char* out = m.SetResultText(text);
        if (response) *response = out;
        return 0;
    });
}

QSM_API std::int32_t __stdcall GET_CARDSYS_INFO(const char** report)
{
    if (report) *report = kEmpty;
    return Guarded(-1, [&]() -> std::int32_t {
        TCardModule& m = Module();
        std::string text;
        const std::int32_t rc = GetCardSysInfo(m, text);
        if (rc != 1) {
            const char* out = m.SetResultText(text);
            if (report) *report = out;
        }
        return rc;
    });
}

QSM_API std::int32_t __stdcall START_CARD()
{
    return Guarded(-1, [] { return StartCard(Module()); });
}

QSM_API void __stdcall RESET_CARD() {}

QSM_API void __stdcall DISCONNECT_CARD()
{
    Guarded(0, [] {
        DisconnectCard(Module());
        return 0;
    });
}

QSM_API std::int32_t __stdcall SET_DEBUGWINDOW(std::int32_t logging, std::int32_t visible)
{
    return Guarded(0, [&] {
        TMonForm& monitor = Module().Monitor();
        monitor.SetVisible(visible != 0);
        monitor.SetLogging(logging != 0);
        return 0;
    });
}

QSM_API std::int32_t __stdcall TYPE_DEBUGWINDOW(const char* text)
{
    return Guarded(0, [&] {
        Module().Monitor().AddLine(text ? text : "");
        return 0;
    });
}

QSM_API std::int32_t __stdcall TYPECL_DEBUGWINDOW(const char* text, std::int32_t colour)
{
    return Guarded(0, [&] {
        Module().Monitor().AddColoredLine(text ? text : "", colour);
        return 0;
    });
}

QSM_API std::int32_t __stdcall RESET_DEBUGWINDOW()
{
    return Guarded(0, [] {
        Module().Monitor().ClearLog();
        return 0;
    });
}

QSM_API void __stdcall SW_VERSION(const char** result)
{
    if (result) *result = "Version 0.2 / 12.8.09";
}

QSM_API std::int32_t __stdcall SET_APPL_HANDLE(HWND host)
{
    return Guarded(0, [&] {
        Module().HostWindow = host;
        return 0;
    });
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // On FreeLibrary the module state goes away in order; at process exit the threads are
    // already gone and Windows frees everything.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        try {
            ReleaseModule();
        } catch (...) {
        }
    }
    return TRUE;
}
