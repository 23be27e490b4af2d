#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "register/ui/UCardCheck.h"
#include "register/ui/UStartIni.h"

namespace {

std::string TempIni(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    std::remove(path.c_str());
    return path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

} // namespace

TEST(StartIni, MissingFileGivesEveryDefault)
{
    const TStartSettings s = ReadStartIni(TempIni("tillora_start_missing.ini"));
    EXPECT_EQ(s.language, "Deutsch");
    EXPECT_EQ(s.operator1, "ich");
    EXPECT_EQ(s.operator2, "ein anderer");
    EXPECT_EQ(s.rates, (std::array<std::string, 6>{"1900", "0700", "1900", "0000", "1070", "0550"}));
    EXPECT_FALSE(s.exklSteuer);
    EXPECT_FALSE(s.skinEnabled);
    EXPECT_EQ(s.skinName, "");
    EXPECT_FALSE(s.cardMonitor);
    EXPECT_FALSE(s.funcMonitor);
    EXPECT_FALSE(s.timePanel);
    EXPECT_FALSE(s.debugMenu);
    EXPECT_EQ(s.versions, "");
}

TEST(StartIni, ValuesAreReadAndGarbageFallsBackToTheDefaults)
{
    const std::string path = TempIni("tillora_start_values.ini");
    WriteFile(path, "[Languages]\r\nact=English\r\n[CFG]\r\noperator=Anna\r\noperator2=Bernd\r\n"
                    "[Tax]\r\ncontainer1=2000\r\ncontainer2=abc\r\ncontainer3=12345\r\ncontainer6=0100\r\n"
                    "[TaxMode]\r\nExklSteuer=7\r\n[View]\r\nskin enabled=ja\r\nskin name=Blue\r\n"
                    "[Windows]\r\nCard=1\r\nFunc=x\r\nTime=1\r\n[Menue]\r\nDebug=1\r\n[Card]\r\nVersionen=v2.2;\r\n");
    const TStartSettings s = ReadStartIni(path);
    EXPECT_EQ(s.language, "English");
    EXPECT_EQ(s.operator1, "Anna");
    EXPECT_EQ(s.operator2, "Bernd");
    EXPECT_EQ(s.rates, (std::array<std::string, 6>{"2000", "0700", "1900", "0000", "1070", "0100"}));
    EXPECT_TRUE(s.exklSteuer);   // any number but 0 is true
    EXPECT_FALSE(s.skinEnabled); // not a number: the default
    EXPECT_EQ(s.skinName, "Blue");
    EXPECT_TRUE(s.cardMonitor);
    EXPECT_FALSE(s.funcMonitor);
    EXPECT_TRUE(s.timePanel);
    EXPECT_TRUE(s.debugMenu);
    EXPECT_EQ(s.versions, "v2.2;");
    std::remove(path.c_str());
}

TEST(StartIni, WrittenInOrderAndATranslatedRateKeepsTheStoredOne)
{
    const std::string path = TempIni("tillora_start_write.ini");
    WriteFile(path, "[Tax]\r\ncontainer2=0700\r\n[Menue]\r\nDebug=1\r\n");
    TStartState st;
    st.language = "Polish";
    st.operator1 = "ich";
    st.operator2 = "ein anderer";
    st.rates = {"1900", "Satz", "1900", "0000", "1070", "0550"};
    st.exklSteuer = true;
    st.cash = true;
    st.skinEnabled = false;
    st.skinName = "Green";
    st.cardMonitor = true;
    st.funcMonitor = false;
    st.timePanel = true;
    WriteStartIni(path, st);
    EXPECT_EQ(ReadFile(path),
              "[Tax]\r\ncontainer2=0700\r\ncontainer1=1900\r\ncontainer3=1900\r\ncontainer4=0000\r\n"
              "container5=1070\r\ncontainer6=0550\r\n[Menue]\r\nDebug=1\r\n\r\n"
              "[Languages]\r\nact=Polish\r\n\r\n[CFG]\r\noperator=ich\r\noperator2=ein anderer\r\n\r\n"
              "[TaxMode]\r\nExklSteuer=1\r\n\r\n[Windows]\r\nCash=1\r\nCard=1\r\nFunc=0\r\nTime=1\r\n\r\n"
              "[View]\r\nskin enabled=0\r\nskin name=Green\r\n");
    std::remove(path.c_str());
}

TEST(StartIni, RateTextsAreFourDigits)
{
    EXPECT_TRUE(IsRateText("1900"));
    EXPECT_TRUE(IsRateText("0000"));
    EXPECT_FALSE(IsRateText("190"));
    EXPECT_FALSE(IsRateText("190 "));
    EXPECT_FALSE(IsRateText("19000"));
    EXPECT_FALSE(IsRateText("USt."));
}

TEST(CardVersion, AcceptedByTheFullVersionOrByItsLeadingPart)
{
    struct Row {
        const char* version;
        const char* list;
        bool accepted;
    } rows[] = {
        {"1.1.3", "v1.1.3;", true}, {"1.1.4", "v1.1.3;", false}, {"1.1.3", "v1.1.;", true},
        {"1.1.4", "v1.1.;", true},  {"1.2.4", "v1.1.;", false},  {"", "v1.1.3;", false},
        {"", "v;", true},           {"22", "v2.2;v2.3;", false}, {"22", "v22;", true},
        {"2.2", "v2.3;", false},    {"2.2", "v2.;", true},       {"2.2", "v1.2;v2.2;v2.3;", true},
        {"2.2", "", false},         {"2.2", "v2.2", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(IsCardVersionAccepted(r.version, r.list), r.accepted) << r.version << " in " << r.list;
}

TEST(PinField, SixCharactersAsTagLengthAndCodes)
{
    EXPECT_EQ(PinDataText("123456"), "C3 06 31 32 33 34 35 36 ");
    EXPECT_EQ(PinDataText("12345 "), "C3 06 31 32 33 34 35 20 ");
    EXPECT_EQ(PinDataText("1"), "C3 01 31 ");
}
