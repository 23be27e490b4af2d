#include <gtest/gtest.h>

#include <string>

#include "skin/engine/sUtils.h"

TEST(SkinUtils, RectanglesAndNumbers)
{
    EXPECT_EQ(WidthOf(MakeRect(10, 0, 5, 0)), -5);
    EXPECT_EQ(WidthOf(MakeRect(10, 0, 5, 0), true), 0);
    EXPECT_EQ(HeightOf(MakeRect(0, 7, 0, 3)), -4);
    EXPECT_EQ(HeightOf(MakeRect(0, 7, 0, 3), true), 0);
    EXPECT_EQ(HeightOf(MakeRect(0, 3, 0, 7), true), 4);

    const TRect r = MakeRect(0, 0, 10, 10);
    EXPECT_TRUE(RectsOverlap(r, MakeRect(9, 9, 20, 20)));
    EXPECT_FALSE(RectsOverlap(r, MakeRect(10, 0, 20, 10))); // touches only
    EXPECT_FALSE(RectsOverlap(r, MakeRect(5, 5, 5, 8)));    // empty
    EXPECT_TRUE(RectInRect(r, MakeRect(0, 0, 10, 10)));     // right and bottom edges count
    EXPECT_FALSE(RectInRect(r, MakeRect(0, 0, 11, 10)));
    EXPECT_EQ(IntersectRects(r, MakeRect(5, -3, 15, 4)), MakeRect(5, 0, 10, 4));

    EXPECT_TRUE(IsBetween(5, 5, 6));
    EXPECT_FALSE(IsBetween(7, 5, 6));
    EXPECT_EQ(MaxOf(-1, 3), 3);
    EXPECT_EQ(MinOf(-1, 3), -1);
    EXPECT_EQ(LimitIt(-4, 0, 10), 0);
    EXPECT_EQ(LimitIt(14, 0, 10), 10);
    EXPECT_EQ(LimitIt(4, 0, 10), 4);
    EXPECT_EQ(LimitIt(4, 5, 2), 5);
    EXPECT_EQ(ClampByte(-1), 0);
    EXPECT_EQ(ClampByte(256), 255);
    EXPECT_EQ(ClampByte(128), 128);
    EXPECT_EQ(IfThenStr(false, "a", "b"), "b");
    EXPECT_EQ(IfThenInt(true, 1, 2), 1);
}

TEST(SkinUtils, WordsAndTexts)
{
    const TCharSet semi = CharSetOf(";");
    EXPECT_EQ(WordCount(";;a;;b;", semi), 2);
    EXPECT_EQ(ExtractWord(2, ";;a;;b;", semi), "b");
    EXPECT_EQ(WordPosition(2, ";;a;;b;", semi), 6);
    EXPECT_EQ(WordPosition(3, ";;a;;b;", semi), 0);
    EXPECT_EQ(ExtractWord(3, ";;a;;b;", semi), "");
    EXPECT_EQ(ExtractWord(1, "12 34,56", CharSetOf(" ,")), "12");
    EXPECT_EQ(WordCount("", semi), 0);
    EXPECT_TRUE(CharInSet('\xE4', CharSetOf("\xE4")));
    EXPECT_EQ(DelChars("a b c ", ' '), "abc");
    EXPECT_EQ(ReplaceStr("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceStr("x.y.z", ".", ".."), "x..y..z");
    EXPECT_EQ(ReplaceStr("abc", "", "x"), "abc");

    EXPECT_EQ(IncludeTrailingSlash("C"), "C:\\");
    EXPECT_EQ(IncludeTrailingSlash("C:/Skins/"), "C:/Skins\\");
    EXPECT_EQ(IncludeTrailingSlash(""), "");
    EXPECT_EQ(IncludeTrailingSlash("C:\\Skins\\"), "C:\\Skins\\");
    EXPECT_EQ(IncludeTrailingSlash("C:\\Skins"), "C:\\Skins\\");
}

TEST(SkinUtils, SectionsOfIniText)
{
    TStringList lines;
    lines.SetText("TOP=dropped\r\n"
                  "[GLOBALINFO]\r\n"
                  "; a comment\r\n"
                  "\r\n"
                  "COLOR=0x1F\r\n"
                  "EMPTYHEX=0x\r\n"
                  "BAD=12a\r\n"
                  "NUMBER=-7\r\n"
                  "COLOR=99\r\n"
                  "[BUTTON]\r\n"
                  "TEXT=a=b\r\n"
                  "[GLOBALINFO]\r\n"
                  "LATE=1\r\n");
    TsSections s;
    LoadSections(lines, s);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].Name, "GLOBALINFO");
    EXPECT_EQ(s[0].Lines.Count(), 5);
    EXPECT_EQ(ReadSectionString(s, "BUTTON", "TEXT", "-"), "a=b");
    EXPECT_EQ(ReadSectionString(s, "GLOBALINFO", "TOP", "-"), "-");
    EXPECT_EQ(ReadSectionString(s, "NOSECTION", "TEXT", "-"), "-");
    EXPECT_EQ(ReadSectionString(s, "GLOBALINFO", "LATE", "-"), "-"); // the first section of a name only
    EXPECT_EQ(ReadSectionString(s, "globalinfo", "COLOR", "-"), "-");
    EXPECT_EQ(ReadSectionInteger(s, "GLOBALINFO", "COLOR", -1), 31);
    EXPECT_EQ(ReadSectionInteger(s, "GLOBALINFO", "EMPTYHEX", -1), -1);
    EXPECT_EQ(ReadSectionInteger(s, "GLOBALINFO", "BAD", -1), -1);
    EXPECT_EQ(ReadSectionInteger(s, "GLOBALINFO", "NUMBER", 0), -7);
    EXPECT_EQ(ReadSectionInteger(s, "GLOBALINFO", "MISSING", 5), 5);

    lines.SetText("[A]\r\nX=1\r\n");
    LoadSections(lines, s);
    EXPECT_EQ(s.size(), 1u);
}
