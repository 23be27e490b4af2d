// QsmTool: the card library's exported functions (stdcall, ANSI texts, 32-bit counts).
// "Out text" arguments receive the address of the library's result text, valid until the
// next export call that hands out a text; callers copy it and never free it.
// Return codes: 0 success, 1 busy (nothing sent), -1 failure, -2 no reader (START_CARD),
// -1..-5 the failing step (GET_CARDSYS_INFO).
#pragma once

#include <windows.h>
#include <cstdint>

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
QSM_API std::int32_t __stdcall READ_CERT(std::uint8_t* buffer, std::int32_t* count);
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
