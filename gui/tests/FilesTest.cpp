// INI files, string lists and file streams on disk.
#include <gtest/gtest.h>

#include <windows.h>

#include "IniFiles.h"
#include "Streams.h"
#include "Strings.h"
#include "SysUtils.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        dir = std::string(tmp) + "gui_files_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const char* f : {"start.ini", "list.txt", "lf.txt"}) DeleteFileA((dir + f).c_str());
        RemoveDirectoryA(dir.c_str());
    }
    std::string Bytes(const std::string& name)
    {
        TFileStream f(dir + name, fmOpenRead);
        std::string s(static_cast<size_t>(f.Size()), '\0');
        f.ReadBuffer(s.data(), s.size());
        return s;
    }
    std::string dir;
};

TEST_F(FilesTest, IniFileRoundTripKeepsUmlautsInCodePage1252)
{
    std::string name = dir + "start.ini";
    {
        TIniFile ini(name);
        EXPECT_EQ(ini.ReadString("CFG", "operator", "ich"), "ich");
        EXPECT_FALSE(FileExists(name)); // reading creates nothing
        ini.WriteString("CFG", "operator", "Jürgen Größe");
        ini.WriteString("Tax", "container2", "0700");
        ini.WriteBool("Windows", "Card", true);
        ini.WriteBool("Windows", "Func", false);
        ini.WriteInteger("Zahlen", "Minus", -42);
    }
    std::string raw = Bytes("start.ini");
    EXPECT_NE(raw.find("operator=J\xFCrgen Gr\xF6\xDF" "e\r\n"), std::string::npos) << raw;
    EXPECT_NE(raw.find("[Windows]\r\nCard=1\r\nFunc=0\r\n"), std::string::npos) << raw;

    TIniFile again(name);
    EXPECT_EQ(again.ReadString("cfg", "OPERATOR", ""), "Jürgen Größe");
    EXPECT_EQ(again.ReadString("Tax", "container2", ""), "0700");
    EXPECT_TRUE(again.ReadBool("WINDOWS", "card", false));
    EXPECT_FALSE(again.ReadBool("Windows", "Func", true));
    EXPECT_TRUE(again.ReadBool("Windows", "Time", true)); // missing: the default
    EXPECT_EQ(again.ReadInteger("Zahlen", "Minus", 0), -42);
    EXPECT_EQ(again.ReadInteger("Tax", "container2", 0), 700);
    EXPECT_EQ(again.ReadInteger("CFG", "operator", 5), 5); // not a number: the default
    // Any non-zero number reads as true.
    again.WriteString("Windows", "Time", "2");
    EXPECT_TRUE(TIniFile(name).ReadBool("Windows", "Time", false));
    again.WriteString("CFG", "Operator", "ein anderer"); // same key, other case: replaced
    TStringList keys;
    TIniFile(name).ReadSection("CFG", keys);
    EXPECT_EQ(keys.Count(), 1);
    EXPECT_EQ(TIniFile(name).ReadString("CFG", "operator", ""), "ein anderer");
}

TEST_F(FilesTest, StringListsSaveWithCrLfAndReadAnyLineEnd)
{
    TStringList list;
    list.Add("Brot");
    list.Add("Käse");
    list.Add("");
    list.SaveToFile(dir + "list.txt");
    EXPECT_EQ(Bytes("list.txt"), "Brot\r\nK\xE4se\r\n\r\n");

    {
        TFileStream f(dir + "lf.txt", fmCreate);
        f.WriteString("a\nb\r\nc");
    }
    TStringList read;
    read.LoadFromFile(dir + "lf.txt");
    ASSERT_EQ(read.Count(), 3);
    EXPECT_EQ(read[0], "a");
    EXPECT_EQ(read[2], "c");
    EXPECT_EQ(read.Text(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(read.IndexOf("B"), 1);
    EXPECT_THROW(read.Get(3), EStringListError);
}

TEST_F(FilesTest, StringListsKeepObjectsAndNameValuePairs)
{
    TStringList items, marker;
    items.AddObject("Milch", &marker);
    items.Add("Zucker");
    items.Insert(0, "Apfel");
    EXPECT_EQ(items.Objects(1), &marker);
    EXPECT_EQ(items.Objects(0), nullptr);
    items.Delete(0);
    EXPECT_EQ(items.IndexOfObject(&marker), 0);
    items.SetSorted(true);
    items.Add("Butter");
    EXPECT_EQ(items.Text(), "Butter\r\nMilch\r\nZucker\r\n");
    TStringList pairs;
    pairs.SetValue("act", "Deutsch");
    pairs.SetValue("ACT", "English");
    EXPECT_EQ(pairs.Count(), 1);
    EXPECT_EQ(pairs.Values("Act"), "English");
}

TEST_F(FilesTest, FileStreamsRaiseFileErrors)
{
    EXPECT_THROW(TFileStream(dir + "fehlt.txt", fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir + "kein\\ordner\\x.txt", fmCreate), EFCreateError);
    TFileStream f(dir + "list.txt", fmCreate);
    f.WriteString("0123456789");
    EXPECT_EQ(f.Size(), 10);
    f.Seek(4, soBeginning);
    char c[3] = {};
    f.ReadBuffer(c, 2);
    EXPECT_EQ(std::string(c), "45");
    EXPECT_THROW(f.ReadBuffer(c, 10), EStreamError);
}

} // namespace
