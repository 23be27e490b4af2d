// The real QsmTool.dll, loaded the way any host loads it, with typed access to its exports.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tests/support/ProcAddress.h"

class QsmToolDll {
public:
    using TextOut = const char**;
    std::int32_t(__stdcall* SEND_CARD_APDU)(const char*, TextOut) = nullptr;
    std::int32_t(__stdcall* STATE_SEND_CARD_APDU)(const char*, TextOut) = nullptr;
    std::int32_t(__stdcall* GET_CARDSYS_INFO)(TextOut) = nullptr;
    std::int32_t(__stdcall* START_CARD)() = nullptr;
    void(__stdcall* DISCONNECT_CARD)() = nullptr;
    std::int32_t(__stdcall* SET_DEBUGWINDOW)(std::int32_t, std::int32_t) = nullptr;
    std::int32_t(__stdcall* TYPE_DEBUGWINDOW)(const char*) = nullptr;
    std::int32_t(__stdcall* TYPECL_DEBUGWINDOW)(const char*, std::int32_t) = nullptr;
    std::int32_t(__stdcall* RESET_DEBUGWINDOW)() = nullptr;
    std::int32_t(__stdcall* SET_APPL_HANDLE)(HWND) = nullptr;
    std::int32_t(__stdcall* SIGN)(const std::uint8_t*, std::int32_t, const char*, TextOut) = nullptr;
    std::int32_t(__stdcall* VERIFY)(const std::uint8_t*, std::int32_t, const char*, const char*) = nullptr;
    std::int32_t(__stdcall* SIGN_FILE)(const char*, const char*) = nullptr;
    std::int32_t(__stdcall* VERIFY_FILE)(const char*, const char*, const char*) = nullptr;
    std::int32_t(__stdcall* HASH_DATA)(const std::uint8_t*, std::uint8_t*, std::int32_t*) = nullptr;
    std::int32_t(__stdcall* READ_CERT)(std::uint8_t*, std::int32_t*) = nullptr;
    std::int32_t(__stdcall* WRITE_CERT)(const std::uint8_t*, std::int32_t) = nullptr;
    std::int32_t(__stdcall* GENERATE_KEY)(std::int32_t) = nullptr;
    std::int32_t(__stdcall* IMPORT_KEY)(std::int32_t, const char*) = nullptr;
    std::int32_t(__stdcall* EXPORT_KEY)(std::int32_t, TextOut) = nullptr;
    std::int32_t(__stdcall* IMPORT_KEY_FROMFILE)(std::int32_t, const char*) = nullptr;
    std::int32_t(__stdcall* EXPORT_KEY_TOFILE)(std::int32_t, const char*) = nullptr;
    std::int32_t(__stdcall* LIST_KORVA_FILES)(TextOut) = nullptr;

    QsmToolDll()
    {
        dll_ = LoadLibraryA("QsmTool.dll");
        if (!dll_) throw std::runtime_error("QsmTool.dll cannot be loaded");
        Bind(SEND_CARD_APDU, "SEND_CARD_APDU");
        Bind(STATE_SEND_CARD_APDU, "STATE_SEND_CARD_APDU");
        Bind(GET_CARDSYS_INFO, "GET_CARDSYS_INFO");
        Bind(START_CARD, "START_CARD");
        Bind(DISCONNECT_CARD, "DISCONNECT_CARD");
        Bind(SET_DEBUGWINDOW, "SET_DEBUGWINDOW");
        Bind(TYPE_DEBUGWINDOW, "TYPE_DEBUGWINDOW");
        Bind(TYPECL_DEBUGWINDOW, "TYPECL_DEBUGWINDOW");
        Bind(RESET_DEBUGWINDOW, "RESET_DEBUGWINDOW");
        Bind(SET_APPL_HANDLE, "SET_APPL_HANDLE");
        Bind(SIGN, "SIGN");
        Bind(VERIFY, "VERIFY");
        Bind(SIGN_FILE, "SIGN_FILE");
        Bind(VERIFY_FILE, "VERIFY_FILE");
        Bind(HASH_DATA, "HASH_DATA");
        Bind(READ_CERT, "READ_CERT");
        Bind(WRITE_CERT, "WRITE_CERT");
        Bind(GENERATE_KEY, "GENERATE_KEY");
        Bind(IMPORT_KEY, "IMPORT_KEY");
        Bind(EXPORT_KEY, "EXPORT_KEY");
        Bind(IMPORT_KEY_FROMFILE, "IMPORT_KEY_FROMFILE");
        Bind(EXPORT_KEY_TOFILE, "EXPORT_KEY_TOFILE");
        Bind(LIST_KORVA_FILES, "LIST_KORVA_FILES");
    }
    ~QsmToolDll() { FreeLibrary(dll_); }
    QsmToolDll(const QsmToolDll&) = delete;
    QsmToolDll& operator=(const QsmToolDll&) = delete;

    // The "Cardmonitor" window and the text of its log.
    static HWND MonitorWindow() { return FindWindowA("TMonForm", "Cardmonitor"); }
    static HWND MonitorLog() { return FindWindowExA(MonitorWindow(), nullptr, "RichEdit20A", nullptr); }
    static std::string MonitorText()
    {
        HWND log = MonitorLog();
        const int len = GetWindowTextLengthA(log);
        std::string text(static_cast<size_t>(len) + 1, '\0');
        GetWindowTextA(log, text.data(), len + 1);
        text.resize(strlen(text.c_str()));
        return text;
    }

private:
    template <typename Fn> void Bind(Fn& fn, const char* name)
    {
        fn = ProcAddress<Fn>(dll_, name);
        if (!fn) throw std::runtime_error(std::string("QsmTool.dll lacks ") + name);
    }
    HMODULE dll_ = nullptr;
};
