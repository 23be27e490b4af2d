// Leaves the journal pair of a run and the card's certificate for the journal checker
// (tests/journalcheck), which a CTest step runs after the test program: L.xml, S.xml and
// card.der in <folder beside the test program>\<set>\<current test's name>\, and the empty
// file "unclosed" when the root close tag must be missing (a killed run).
//
//   KeepJournalPair(tillora, card, "journal_runs", false);
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/SimCard.h"
#include "tests/support/TilloraProgram.h"

namespace JournalKeep {

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

// The certificate the card keeps in its state file (DER bytes); "" when there is none.
inline std::string CardCertificate(const SimCard& card)
{
    std::string state;
    HANDLE h = CreateFileA(card.StatePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "";
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        state.append(buf, got);
    CloseHandle(h);
    const size_t at = state.find("certificate=");
    if (at == std::string::npos) return "";
    const size_t end = state.find_first_of("\r\n", at);
    return FromHex(state.substr(at + 12, end - at - 12));
}

} // namespace JournalKeep

inline void KeepJournalPair(const TilloraProgram& tillora, const SimCard& card, const std::string& set, bool unclosed)
{
    const std::string base = TilloraProgram::OwnFolder() + set + "\\";
    CreateDirectoryA(base.c_str(), nullptr);
    const std::string dir = base + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    DeleteFileA((dir + "unclosed").c_str());
    JournalKeep::WriteBytes(dir + "L.xml", tillora.Journal('L'));
    JournalKeep::WriteBytes(dir + "S.xml", tillora.Journal('S'));
    const std::string cert = JournalKeep::CardCertificate(card);
    ASSERT_GT(cert.size(), 100u);
    JournalKeep::WriteBytes(dir + "card.der", cert);
    if (unclosed) JournalKeep::WriteBytes(dir + "unclosed", "");
}
