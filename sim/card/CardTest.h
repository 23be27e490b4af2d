// Test fixture for the simulated card in process: a fresh state file per test, commands as hex
// text, and the commands the register builds.
#pragma once

#include "sim/card/QsmCard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace qsmsim {

class CardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH], path[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        GetTempFileNameA(dir, "qsm", 0, path);
        std::remove(path);
        config.statePath = path;
    }
    void TearDown() override
    {
        std::remove(config.statePath.c_str());
        std::remove((config.statePath + ".new").c_str());
    }

    // Sends hex text; returns the reply as hex text with blanks.
    static std::string Send(QsmCard& card, const std::string& apdu) { return ToHex(card.Process(FromHex(apdu)), " "); }
    static std::string Sw(const std::string& reply) { return reply.substr(reply.size() - 5); }
    static Bytes Data(const std::string& reply)
    {
        Bytes b = FromHex(reply);
        b.resize(b.size() - 2);
        return b;
    }

    // A transaction as the register builds it: date, time, operator, hash, currency, then the
    // containers given (class 1 at 19 % by default).
    static std::string TransactionData(const std::string& containers = "E1 0D D8 03 01 99 0C DA 02 31 8C DB 02 19 00")
    {
        return "CD 04 20 24 03 15 CE 02 14 30 C6 04 41 6E 6E 61 C7 14 " + std::string(40, '1') + " C8 02 03 D2 " +
               containers;
    }
    // head, Lc, data, Le 00.
    static std::string Command(const std::string& head, const std::string& data)
    {
        char lc[4];
        std::snprintf(lc, sizeof lc, "%02X", static_cast<unsigned>(FromHex(data).size()));
        return head + " " + lc + " " + data + " 00";
    }
    void Activate(QsmCard& card)
    {
        ASSERT_EQ("90 00",
                  Sw(Send(card, Command("80 42 04 00", "CD 04 20 24 03 15 CE 02 09 00 C3 06 31 32 33 34 35 36"))));
    }

    // The state file: written before a card is made, read back to see what a command changed.
    void WriteState(const std::string& text)
    {
        std::ofstream out(config.statePath, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::string StateFile() const
    {
        std::ifstream in(config.statePath, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    CardConfig config;
};

} // namespace qsmsim
