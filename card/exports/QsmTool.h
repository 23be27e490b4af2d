// QsmTool: the card library's exported functions (stdcall, ANSI texts, 32-bit counts).
// "Out text" arguments receive the address of the library's result text, valid until the
// next export call that hands out a text; callers copy it and never free it.
// Return codes: TQsmResult; GET_CARDSYS_INFO answers the failing step as TCardSysInfoStep.
#pragma once

#include <windows.h>

#include <cstdint>

// What the exports answer.
enum TQsmResult : std::int32_t {
    qrOk = 0,        // success
    qrBusy = 1,      // another card operation runs; nothing was sent to the card
    qrFailed = -1,   // a card command did not end in "90 00", a file was missing or is bad,
                     // the card version is unknown
    qrNoReader = -2, // START_CARD: no reader is attached
};

// GET_CARDSYS_INFO: the step that failed.
enum TCardSysInfoStep : std::int32_t {
    csSerialNumber = -1, // 00 CA 01 81: the crypto chip's serial number
    csEeprom = -2,       // 00 CA 01 8A: the free EEPROM
    csMasterFile = -3,   // selecting the master file 3F00
    csKorvaSize = -4,    // 00 CA 01 85: the body size of the KORVA subdirectory
    csOsName = -5,       // 00 CA 01 80: the operating system's name
};

#ifdef QSMTOOL_BUILD
#define QSM_API extern "C"
#else
#define QSM_API extern "C" __declspec(dllimport)
#endif

QSM_API std::int32_t __stdcall SIGN(const std::uint8_t* data, std::int32_t length, const char* keyRef,
                                    const char** signature);
QSM_API std::int32_t __stdcall VERIFY(const std::uint8_t* data, std::int32_t length, const char* keyRef,
                                      const char* signature);
QSM_API std::int32_t __stdcall SEND_CARD_APDU(const char* command, const char** response);
QSM_API std::int32_t __stdcall GET_CARDSYS_INFO(const char** report);
QSM_API std::int32_t __stdcall LIST_KORVA_FILES(const char** fileList);
QSM_API std::int32_t __stdcall GENERATE_KEY(std::int32_t keyType);
QSM_API std::int32_t __stdcall IMPORT_KEY(std::int32_t keyNumber, const char* key);
QSM_API std::int32_t __stdcall EXPORT_KEY(std::int32_t keyNumber, const char** key);
QSM_API std::int32_t __stdcall IMPORT_KEY_FROMFILE(std::int32_t keyNumber, const char* fileName);
QSM_API std::int32_t __stdcall EXPORT_KEY_TOFILE(std::int32_t keyNumber, const char* fileName);
QSM_API std::int32_t __stdcall SIGN_FILE(const char* fileName, const char* keyRef);
QSM_API std::int32_t __stdcall VERIFY_FILE(const char* dataFile, const char* signatureFile, const char* keyRef);
QSM_API std::int32_t __stdcall WRITE_CERT(const std::uint8_t* certificate, std::int32_t length);
// *count: on entry the size of `buffer` (the register passes 2051 bytes, a certificate of up to
// 2047 bytes of DER content), on success the number of certificate bytes stored. A certificate
// larger than the buffer fails with -1 before anything is stored; buffer and count stay as
// they were.
QSM_API std::int32_t __stdcall READ_CERT(std::uint8_t* buffer, std::int32_t* count);
// *count: on entry the number of data bytes, on success the number of hash bytes (20); the
// buffer takes 20 bytes.
QSM_API std::int32_t __stdcall HASH_DATA(const std::uint8_t* data, std::uint8_t* hash, std::int32_t* count);
QSM_API std::int32_t __stdcall SET_DEBUGWINDOW(std::int32_t logging, std::int32_t visible);
QSM_API std::int32_t __stdcall TYPE_DEBUGWINDOW(const char* text);
QSM_API std::int32_t __stdcall TYPECL_DEBUGWINDOW(const char* text, std::int32_t colour);
QSM_API std::int32_t __stdcall RESET_DEBUGWINDOW();
QSM_API std::int32_t __stdcall START_CARD();
QSM_API void __stdcall RESET_CARD();
QSM_API void __stdcall DISCONNECT_CARD();
QSM_API void __stdcall HEX_TO_DEC(const char** result, const char* hex);
QSM_API std::int32_t __stdcall STATE_SEND_CARD_APDU(const char* command, const char** response);
QSM_API void __stdcall SW_VERSION(const char** result);
QSM_API std::int32_t __stdcall SET_APPL_HANDLE(HWND host);
