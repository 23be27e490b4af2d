// The exported functions of QsmTool. Each export catches every exception: nothing escapes
// across the library boundary, failures are return codes.
#include "QsmTool.h"

#include <string>

#include "ULangeZahlen.h"

namespace {

// Texts handed out through a caller's text variable stay valid until the next call of the
// same export.
std::string g_hexToDecText;

} // namespace

QSM_API std::int32_t __stdcall SIGN(const std::uint8_t*, std::int32_t, const char*, const char**) { return -1; }
QSM_API std::int32_t __stdcall VERIFY(const std::uint8_t*, std::int32_t, const char*, const char*) { return -1; }
QSM_API std::int32_t __stdcall SEND_CARD_APDU(const char*, const char** response)
{
    if (response)
        *response = "";
    return -1;
}
QSM_API std::int32_t __stdcall GET_CARDSYS_INFO(const char** report)
{
    if (report)
        *report = "";
    return -1;
}
QSM_API std::int32_t __stdcall LIST_KORVA_FILES(const char**) { return -1; }
QSM_API std::int32_t __stdcall GENERATE_KEY(std::int32_t) { return -1; }
QSM_API std::int32_t __stdcall IMPORT_KEY(std::int32_t, const char*) { return -1; }
QSM_API std::int32_t __stdcall EXPORT_KEY(std::int32_t, const char**) { return -1; }
QSM_API std::int32_t __stdcall IMPORT_KEY_FROMFILE(std::int32_t, const char*) { return -1; }
QSM_API std::int32_t __stdcall EXPORT_KEY_TOFILE(std::int32_t, const char*) { return -1; }
QSM_API std::int32_t __stdcall SIGN_FILE(const char*, const char*) { return -1; }
QSM_API std::int32_t __stdcall VERIFY_FILE(const char*, const char*, const char*) { return -1; }
QSM_API std::int32_t __stdcall WRITE_CERT(const std::uint8_t*, std::int32_t) { return -1; }
QSM_API std::int32_t __stdcall READ_CERT(std::uint8_t*, std::int32_t*) { return -1; }
QSM_API std::int32_t __stdcall HASH_DATA(const std::uint8_t*, std::uint8_t*, std::int32_t*) { return -1; }
QSM_API std::int32_t __stdcall SET_DEBUGWINDOW(std::int32_t, std::int32_t) { return -1; }
QSM_API std::int32_t __stdcall TYPE_DEBUGWINDOW(const char*) { return -1; }
QSM_API std::int32_t __stdcall TYPECL_DEBUGWINDOW(const char*, std::int32_t) { return -1; }
QSM_API std::int32_t __stdcall RESET_DEBUGWINDOW() { return -1; }
QSM_API std::int32_t __stdcall START_CARD() { return -1; }
QSM_API void __stdcall RESET_CARD() {}
QSM_API void __stdcall DISCONNECT_CARD() {}

QSM_API void __stdcall HEX_TO_DEC(const char** result, const char* hex)
{
    if (!result)
        return;
    try {
        g_hexToDecText = TLangeZahlen::HexToDec(hex ? hex : "");
    } catch (...) {
        g_hexToDecText.clear();
    }
    *result = g_hexToDecText.c_str();
}

QSM_API std::int32_t __stdcall STATE_SEND_CARD_APDU(const char*, const char**) { return -1; }

QSM_API void __stdcall SW_VERSION(const char** result)
{
    if (result)
        *result = "Version 0.2 / 12.8.09";
}

QSM_API std::int32_t __stdcall SET_APPL_HANDLE(HWND) { return -1; }
