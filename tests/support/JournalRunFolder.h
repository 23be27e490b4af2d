// A run's journal pair left for the journal checker (tests/journalcheck), which a CTest step
// runs after the test program: the folder <set>\<run>\ beside the test program (the set
// "journal_runs" unless named) gets L.xml, S.xml and card.der (the certificate
// from the simulated card's state file), and marker files that tell the checker how to read the
// pair: "unclosed" when only the root close tag may be missing (a killed run), "export" when the
// pair is an export pair continued over runs.
//
//   KeepJournalRun("MyRun", tillora.Journal('L'), tillora.Journal('S'), card.StatePath(), {});
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>

#include "tests/support/TilloraProgram.h"

namespace JournalRunFolder {

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

inline std::string FromHex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

// The certificate (DER) that the simulated card's state file holds.
inline std::string CardCertificate(const std::string& statePath)
{
    std::string state;
    HANDLE h = CreateFileA(statePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "";
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        state.append(buf, got);
    CloseHandle(h);
    const size_t at = state.find("certificate=");
    if (at == std::string::npos) return "";
    const size_t end = state.find_first_of("\r\n", at);
    return FromHex(state.substr(at + 12, end == std::string::npos ? std::string::npos : end - at - 12));
}

} // namespace JournalRunFolder

// Leaves the pair and the card's certificate in <set>\<run>\, with the marker files named in
// `markers` ("unclosed", "export"); markers of an earlier run of the same name go.
inline void KeepJournalRun(const std::string& run, const std::string& l, const std::string& s,
                           const std::string& cardState, std::initializer_list<const char*> markers,
                           const std::string& set = "journal_runs")
{
    using namespace JournalRunFolder;
    const std::string base = TilloraProgram::OwnFolder() + set + "\\";
    CreateDirectoryA(base.c_str(), nullptr);
    const std::string dir = base + run + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const char* marker : {"unclosed", "export"})
        DeleteFileA((dir + marker).c_str());
    ASSERT_NO_FATAL_FAILURE(WriteBytes(dir + "L.xml", l));
    ASSERT_NO_FATAL_FAILURE(WriteBytes(dir + "S.xml", s));
    const std::string cert = CardCertificate(cardState);
    ASSERT_GT(cert.size(), 100u) << cardState;
    ASSERT_NO_FATAL_FAILURE(WriteBytes(dir + "card.der", cert));
    for (const char* marker : markers)
        ASSERT_NO_FATAL_FAILURE(WriteBytes(dir + marker, ""));
}
