// INI files, string lists and file streams on disk.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/base/IniFiles.h"
#include "gui/base/Streams.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"

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
        for (const char* f : {"start.ini", "list.txt", "lf.txt", "hand.ini", "leer.txt"})
            DeleteFileA((dir + f).c_str());
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
    EXPECT_NE(raw.find("operator=J\xFCrgen Gr\xF6\xDF"
                       "e\r\n"),
              std::string::npos)
        << raw;
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

TEST_F(FilesTest, IniFileReadsHandWrittenFilesAndEmptyValues)
{
    std::string name = dir + "hand.ini";
    {
        TIniFile missing(name);
        TStringList list;
        list.Add("alt");
        missing.ReadSections(list);
        EXPECT_EQ(list.Count(), 0);
        list.Add("alt");
        missing.ReadSection("CFG", list);
        EXPECT_EQ(list.Count(), 0);
        EXPECT_FALSE(missing.SectionExists("CFG"));
        EXPECT_FALSE(missing.ValueExists("CFG", "act"));
        EXPECT_FALSE(FileExists(name));
    }
    {
        TFileStream f(name, fmCreate);
        f.WriteString("; Kommentar\n[ CFG ]\nact = Deutsch \nleer=\nurl=https://v.example/q?a=1&b=2\n"
                      "[Tax]\nzahl=\n[cfg]\nact=zweiter Abschnitt\nneu=1\n[Leer]\n");
    }
    TIniFile ini(name);
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.Text(), "CFG\r\nTax\r\nLeer\r\n"); // in file order, the same name once
    EXPECT_TRUE(ini.SectionExists("leer"));
    TStringList keys;
    ini.ReadSection("Cfg", keys);
    EXPECT_EQ(keys.Text(), "act\r\nleer\r\nurl\r\n");       // the first section of the name counts
    EXPECT_EQ(ini.ReadString("CFG", "act", ""), "Deutsch"); // blanks trimmed
    EXPECT_EQ(ini.ReadString("CFG", "neu", "keiner"), "keiner");
    EXPECT_EQ(ini.ReadString("CFG", "url", ""), "https://v.example/q?a=1&b=2");
    // An empty value is a value: the text is empty, numbers and Booleans take the default.
    EXPECT_TRUE(ini.ValueExists("CFG", "leer"));
    EXPECT_EQ(ini.ReadString("CFG", "leer", "vorgabe"), "");
    EXPECT_EQ(ini.ReadInteger("Tax", "zahl", 7), 7);
    EXPECT_TRUE(ini.ReadBool("Tax", "zahl", true));
    ini.WriteString("Tax", "zahl", "");
    EXPECT_EQ(TIniFile(name).ReadString("Tax", "zahl", "x"), "");
    ini.DeleteKey("CFG", "url");
    ini.EraseSection("Leer");
    TIniFile again(name);
    EXPECT_FALSE(again.ValueExists("CFG", "url"));
    EXPECT_FALSE(again.SectionExists("Leer"));
    EXPECT_EQ(again.ReadString("Tax", "zahl", "x"), "");
}

// The system's profile reader and the class library read one file alike.
TEST_F(FilesTest, IniFileReadsValuesAsTheSystemsProfileReader)
{
    std::string name = dir + "hand.ini";
    {
        TFileStream f(name, fmCreate);
        f.WriteString("[Deutsch]\r\n1txt=\"Kasse\"\r\n2txt='Netto'\r\n3txt=\"halb'\r\n4txt=\"\r\n5txt=\"\"\r\n"
                      "6txt= \" innen \" \r\n7txt=a=b\r\n 8txt\t=\tTab\t\r\n[deutsch]\r\n9txt=zweiter\r\n");
    }
    TIniFile ini(name);
    for (const char* key : {"1txt", "2txt", "3txt", "4txt", "5txt", "6txt", "7txt", "8txt", "9txt", "10txt"}) {
        char buf[256];
        DWORD n = GetPrivateProfileStringA("Deutsch", key, "-", buf, sizeof buf, name.c_str());
        EXPECT_EQ(ini.ReadString("Deutsch", key, "-"), std::string(buf, n)) << key;
    }
    EXPECT_EQ(ini.ReadString("Deutsch", "1txt", ""), "Kasse");
    EXPECT_EQ(ini.ReadString("Deutsch", "6txt", ""), " innen ");
}

// Writing changes one line: comments, blank lines and the order of the keys stay.
TEST_F(FilesTest, IniFileWritesKeepCommentsAndTheOrderOfKeys)
{
    std::string name = dir + "start.ini";
    {
        TFileStream f(name, fmCreate);
        f.WriteString("; Einstellungen\r\n[CFG]\r\n; Bediener\r\nOperator=ich\r\noperator2=du\r\n\r\n"
                      "[Tax]\r\ncontainer1=1900\r\n");
    }
    TIniFile ini(name);
    ini.WriteString("cfg", "operator2", "ein anderer");
    ini.WriteString("CFG", "neu", "1");
    ini.WriteString("CFG", "operator", "Jürgen");
    ini.WriteString("Windows", "Card", "0");
    EXPECT_EQ(Bytes("start.ini"), "; Einstellungen\r\n[CFG]\r\n; Bediener\r\nOperator=J\xFCrgen\r\n"
                                  "operator2=ein anderer\r\nneu=1\r\n\r\n[Tax]\r\ncontainer1=1900\r\n\r\n"
                                  "[Windows]\r\nCard=0\r\n");
    ini.DeleteKey("CFG", "neu");
    ini.EraseSection("Tax");
    EXPECT_EQ(Bytes("start.ini"), "; Einstellungen\r\n[CFG]\r\n; Bediener\r\nOperator=J\xFCrgen\r\n"
                                  "operator2=ein anderer\r\n\r\n[Windows]\r\nCard=0\r\n");
}

TEST_F(FilesTest, TwoIniFileObjectsOnOneFileKeepEachOthersChanges)
{
    std::string name = dir + "start.ini";
    TIniFile a(name), b(name);
    a.WriteString("CFG", "act", "English");
    b.WriteBool("Windows", "Card", true);
    EXPECT_EQ(b.ReadString("CFG", "act", ""), "English"); // b sees what a wrote
    a.WriteInteger("Tax", "n", 3);
    TIniFile c(name);
    EXPECT_EQ(c.ReadString("CFG", "act", ""), "English");
    EXPECT_TRUE(c.ReadBool("Windows", "Card", false));
    EXPECT_EQ(c.ReadInteger("Tax", "n", 0), 3);
    // Writing into a folder that is not there fails loudly.
    TIniFile nowhere(dir + "fehlt\\start.ini");
    EXPECT_THROW(nowhere.WriteString("CFG", "act", "x"), EFCreateError);
}

TEST_F(FilesTest, StringListEdgesOfTextFilesAndNameValuePairs)
{
    TStringList list;
    EXPECT_THROW(list.LoadFromFile(dir + "fehlt.txt"), EFOpenError);
    list.SaveToFile(dir + "leer.txt");
    EXPECT_TRUE(FileExists(dir + "leer.txt"));
    EXPECT_EQ(Bytes("leer.txt"), "");
    EXPECT_EQ(list.Text(), "");
    list.SetText("eins\r\n");
    EXPECT_EQ(list.Count(), 1); // a final line break opens no line
    list.SetText("eins\r\n\r\n");
    EXPECT_EQ(list.Count(), 2);
    list.SetText("a\rb\n\nc");
    EXPECT_EQ(list.Text(), "a\r\nb\r\n\r\nc\r\n");
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);

    TStringList pairs, marker;
    pairs.SetText("url=https://x/?a=b\nleer=\nohne Zeichen\n=nur Wert");
    EXPECT_EQ(pairs.Values("URL"), "https://x/?a=b");
    EXPECT_EQ(pairs.Values("leer"), "");
    EXPECT_EQ(pairs.IndexOfName("leer"), 1);
    EXPECT_EQ(pairs.Values("ohne Zeichen"), "");
    EXPECT_EQ(pairs.IndexOfName("ohne Zeichen"), -1);
    EXPECT_EQ(pairs.Names(2), "");
    EXPECT_EQ(pairs.Values("fehlt"), "");
    pairs.SetObject(1, &marker);
    pairs.Put(1, "leer=voll");
    EXPECT_EQ(pairs.Objects(1), &marker); // replacing the text keeps the object
    TStringList copy;
    copy.Assign(pairs);
    EXPECT_EQ(copy.Objects(1), &marker);
    EXPECT_EQ(copy.Text(), pairs.Text());
    try {
        copy.Delete(9);
        FAIL() << "deleting past the end was accepted";
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "Listenindex überschreitet das Maximum (9)");
    }
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
