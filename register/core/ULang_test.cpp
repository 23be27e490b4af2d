#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <windows.h>

#include "gui/base/SysUtils.h"
#include "register/core/ULang.h"

using namespace ULang;

namespace {

// A lang.ini of the test's own in the temp folder; removed afterwards.
class LangFileFixture : public ::testing::Test {
protected:
    std::string path;
    int written = 0;
    void Write(const std::string& content)
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        if (!path.empty()) std::remove(path.c_str());
        // A new name for every version, so that no cached copy of an older one is read.
        path = std::string(dir) + "tillora_" + info->name() + std::to_string(++written) + "_lang.ini";
        std::ofstream(path, std::ios::binary) << content;
    }
    void TearDown() override
    {
        if (!path.empty()) std::remove(path.c_str());
    }
};

const char* const SampleIni = "[Deutsch]\r\n6cap=Französisch\r\n1txt=Eins\r\n24cap=Systemzeit\r\n90txt=Neunzig\r\n"
                              "[English]\r\n1txt=One\r\n90txt=Ninety\r\n31hint=Time of the application\r\n"
                              "[Polish]\r\n1txt=Jeden\r\n24cap=Czas systemowy\r\n";

} // namespace

using LangTexts = LangFileFixture;

TEST_F(LangTexts, LoadsTheSectionOfTheLanguageAndKeepsItCurrent)
{
    Write(SampleIni);
    TLangFile file(path);
    TLanguageTexts texts;
    EXPECT_EQ(texts.Current(), "Deutsch");
    texts.Load("", file);
    EXPECT_EQ(texts.GetText(1), "Eins");
    texts.Load("English", file);
    EXPECT_EQ(texts.Current(), "English");
    EXPECT_EQ(texts.GetText(1), "One");
    EXPECT_EQ(texts.GetText(90), "Ninety");
    EXPECT_EQ(texts.GetText(2), "");
    // An empty language reloads the current one.
    texts.Load("", file);
    EXPECT_EQ(texts.Current(), "English");
    EXPECT_EQ(texts.GetText(1), "One");
    // The menu item "Polnisch" passes the section name "Polish".
    texts.Load("Polish", file);
    EXPECT_EQ(texts.GetText(1), "Jeden");
    EXPECT_EQ(file.Caption(texts.Current(), 24), "Czas systemowy");
    EXPECT_EQ(file.Caption("English", 24), "");
    EXPECT_EQ(file.Hint("English", 31), "Time of the application");
}

TEST_F(LangTexts, OnlyTextsOneToNinetyExist)
{
    TLanguageTexts texts;
    EXPECT_THROW(texts.GetText(0), ERangeError);
    EXPECT_THROW(texts.GetText(91), ERangeError);
    EXPECT_NO_THROW(texts.GetText(90));
    EXPECT_NO_THROW(texts.GetText(1));
}

TEST_F(LangTexts, FrancaisIsOfferedOnlyByTheGermanSection)
{
    Write(SampleIni);
    EXPECT_TRUE(TLangFile(path).FrancaisOffered());
    Write("[Deutsch]\r\n1txt=x\r\n[English]\r\n6cap=Französisch\r\n");
    EXPECT_FALSE(TLangFile(path).FrancaisOffered());
    Write("[Deutsch]\r\n6cap=französisch\r\n");
    EXPECT_FALSE(TLangFile(path).FrancaisOffered());
}

TEST_F(LangTexts, MissingFileGivesEmptyTexts)
{
    TLangFile file("C:\\no such folder\\lang.ini");
    TLanguageTexts texts;
    texts.Load("English", file);
    EXPECT_EQ(texts.GetText(1), "");
    EXPECT_EQ(file.Caption("English", 24), "");
    EXPECT_FALSE(file.FrancaisOffered());
}

TEST(LangRules, ClassesTakeCaptionsAndHintsAsTheTableSays)
{
    EXPECT_EQ(TextRuleFor("TLabel").caption, TCaptionRule::Always);
    EXPECT_FALSE(TextRuleFor("TLabel").hint);
    EXPECT_EQ(TextRuleFor("TPanel").caption, TCaptionRule::NonEmpty);
    EXPECT_FALSE(TextRuleFor("TPanel").hint);
    EXPECT_TRUE(TextRuleFor("TsPanel").hint);
    EXPECT_EQ(TextRuleFor("TImage").caption, TCaptionRule::None);
    EXPECT_TRUE(TextRuleFor("TImage").hint);
    EXPECT_EQ(TextRuleFor("TDateTimePicker").caption, TCaptionRule::None);
    EXPECT_TRUE(TextRuleFor("TDateTimePicker").hint);
    EXPECT_EQ(TextRuleFor("TStaticText").caption, TCaptionRule::Always);
    EXPECT_TRUE(TextRuleFor("TMenuItem").known);
    EXPECT_FALSE(TextRuleFor("TMemo").known);
    EXPECT_FALSE(TextRuleFor("TRichEdit").known);
}

TEST(LangRules, EveryMatchingRowAppliesInTableOrder)
{
    // A skinned panel is a TPanel too: both rows apply, the second one gives the hint.
    TTextRule r = TextRuleFor([](std::string_view n) { return n == "TPanel" || n == "TsPanel"; });
    EXPECT_TRUE(r.known);
    EXPECT_EQ(r.caption, TCaptionRule::NonEmpty);
    EXPECT_TRUE(r.hint);
    // An always-row wins over a non-empty row, before or after it in the table.
    r = TextRuleFor([](std::string_view n) { return n == "TPanel" || n == "TStaticText"; });
    EXPECT_EQ(r.caption, TCaptionRule::Always);
    EXPECT_FALSE(r.hint);
    r = TextRuleFor([](std::string_view n) { return n == "TLabel" || n == "TsPanel"; });
    EXPECT_EQ(r.caption, TCaptionRule::Always);
    EXPECT_TRUE(r.hint);
    // A hint-only row adds its hint to a caption row.
    r = TextRuleFor([](std::string_view n) { return n == "TLabel" || n == "TImage"; });
    EXPECT_EQ(r.caption, TCaptionRule::Always);
    EXPECT_TRUE(r.hint);
}

// The language file the program ships.
class ShippedLangIni : public ::testing::Test {
protected:
    std::string path;
    std::string bytes;
    void SetUp() override
    {
        std::string src = TILLORA_SOURCE_DIR "/data/cfg/lang.ini";
        for (char& c : src)
            if (c == '/') c = '\\';
        path = "Z:" + src;
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        std::ostringstream s;
        s << in.rdbuf();
        bytes = s.str();
    }
    // The keys of a section, as written in the file.
    std::set<std::string> Keys(const std::string& section) const
    {
        std::set<std::string> keys;
        std::istringstream in(bytes);
        std::string line;
        bool inside = false;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line[0] == '[') {
                inside = line == "[" + section + "]";
                continue;
            }
            const auto eq = line.find('=');
            if (inside && eq != std::string::npos && line[0] != ';') keys.insert(line.substr(0, eq));
        }
        return keys;
    }
};

TEST_F(ShippedLangIni, EveryLanguageHasAllNinetyTextsAndTheSameComponentKeys)
{
    const TLangFile file(path);
    const std::set<std::string> german = Keys("Deutsch");
    EXPECT_FALSE(german.empty());
    for (const char* language : {"Deutsch", "English", "Francais", "Polish"}) {
        TLanguageTexts texts;
        texts.Load(language, file);
        for (int n = 1; n <= TextCount; ++n)
            EXPECT_NE(texts.GetText(n), "") << language << " " << n << "txt";
        EXPECT_EQ(Keys(language), german) << language;
        EXPECT_EQ(Keys(language).count("200cap"), 0u) << language;
        EXPECT_NE(file.Caption(language, 24), "") << language;
    }
    EXPECT_TRUE(file.FrancaisOffered());
    EXPECT_EQ(file.Caption("Deutsch", 22), "Kasse-Monitor");
    // Components that the windows leave untagged have no keys.
    for (const std::string& key : german) {
        const int tag = std::atoi(key.c_str());
        EXPECT_FALSE(tag >= 400 && tag <= 443 && key.find("txt") == std::string::npos) << key;
    }
}

TEST_F(ShippedLangIni, IsWrittenInCodePage1252)
{
    // No UTF-8 sequences and none of the five codes that code page 1252 leaves undefined.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        EXPECT_TRUE(b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) << i;
        if ((b == 0xC3 || b == 0xC4 || b == 0xC5) && i + 1 < bytes.size()) {
            const auto next = static_cast<unsigned char>(bytes[i + 1]);
            EXPECT_FALSE(next >= 0x80 && next <= 0xBF) << "UTF-8 at " << i;
        }
    }
    EXPECT_NE(bytes.find("Französisch"), std::string::npos);
}
