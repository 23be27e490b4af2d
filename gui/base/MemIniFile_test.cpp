#include <gtest/gtest.h>

#include "gui/base/MemIniFile.h"
#include "gui/base/Strings.h"

namespace {

TMemIniFile IniOf(const std::string& text)
{
    TStringList lines;
    lines.SetText(text);
    return TMemIniFile(lines);
}

std::string Joined(const TStrings& list)
{
    std::string s;
    for (int i = 0; i < list.Count(); ++i)
        s += list[i] + "|";
    return s;
}

} // namespace

TEST(MemIniFile, NamesCompareWithoutCaseAndAreTrimmed)
{
    const TMemIniFile ini = IniOf("lost=1\r\n[ Button ]\r\n  Color = 255 \r\n;Color=1\r\nGRADIENTDATA= \r\n"
                                  "nokey\r\n=7\r\n[Form]\r\nCaption=a=b\r\n");
    EXPECT_EQ(ini.ReadString("BUTTON", "color", "x"), "255");
    EXPECT_EQ(ini.ReadString("button", "COLOR", "x"), "255");
    EXPECT_EQ(ini.ReadInteger("Button", "Color", -1), 255);
    EXPECT_EQ(ini.ReadString("Button", "GradientData", "x"), ""); // present, empty after trimming
    EXPECT_TRUE(ini.ValueExists("BUTTON", "GRADIENTDATA"));
    EXPECT_EQ(ini.ReadString("Form", "Caption", ""), "a=b");
    EXPECT_EQ(ini.ReadString("Button", "lost", "none"), "none"); // lines before the first section
    EXPECT_EQ(ini.ReadString("Button", "nokey", "none"), "none");
    EXPECT_FALSE(ini.ValueExists("Button", ""));
    EXPECT_FALSE(ini.SectionExists("Buttons"));
    EXPECT_EQ(ini.ReadString("Panel", "Color", "fb"), "fb");
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Joined(list), "Button|Form|");
    ini.ReadSectionValues("BUTTON", list);
    EXPECT_EQ(Joined(list), "Color=255|GRADIENTDATA=|");
}

TEST(MemIniFile, FirstOfRepeatedSectionsAndKeysWins)
{
    const TMemIniFile ini = IniOf("[A]\nK=1\nk=2\nJ=x\n[B]\nK=3\n[a]\nK=4\nNew=5\n");
    EXPECT_EQ(ini.ReadString("A", "K", ""), "1");
    EXPECT_EQ(ini.ReadInteger("A", "J", -7), -7); // no number: the fallback
    EXPECT_FALSE(ini.ValueExists("A", "New"));    // the second [a] is dropped whole
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Joined(list), "A|B|");
    ini.ReadSectionValues("a", list);
    EXPECT_EQ(Joined(list), "K=1|k=2|J=x|");
    ini.ReadSectionValues("missing", list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(MemIniFile, HexIntegersAndNewContent)
{
    TMemIniFile ini = IniOf("[S]\nH=0x1F\nD=$10\nN=-3\n");
    EXPECT_EQ(ini.ReadInteger("S", "H", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "D", 0), 16);
    EXPECT_EQ(ini.ReadInteger("S", "N", 0), -3);
    TStringList other;
    other.SetText("[T]\nX=1");
    ini.SetStrings(other);
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_EQ(ini.ReadInteger("T", "X", 0), 1);
    ini.Clear();
    EXPECT_FALSE(ini.SectionExists("T"));
}
