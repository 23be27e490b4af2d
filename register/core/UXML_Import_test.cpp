// Product-list files on disk: the bytes the writer puts there, loading them back, the file the
// register keeps open, the shipped "Standard.xml" and files that are no product lists.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gui/base/Streams.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"
#include "register/core/UProdList_Export.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Import.h"

namespace {

const std::string Head = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><document-information>"
                         "<version>1.0</version></document-information><itemList>";
const std::string Tail = "</itemList></vantra>";

std::string ReadAll(const std::string& name)
{
    TFileStream f(name, fmOpenRead | fmShareDenyNone);
    std::string s(static_cast<size_t>(f.Size()), '\0');
    f.ReadBuffer(s.data(), s.size());
    return s;
}

std::vector<std::unique_ptr<TProd>> Loaded(const std::string& name)
{
    UXML_Import::LoadXmlFile(name);
    std::vector<std::unique_ptr<TProd>> out;
    UXML_Import::ResetItemCursor();
    while (auto p = UXML_Import::NextProduct())
        out.push_back(std::move(p));
    return out;
}

class ProductFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        dir = std::string(tmp) + "prodlist_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    void TearDown() override
    {
        core.reset(); // closes the loaded file
        for (const std::string& f : made) {
            SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(f.c_str());
        }
        for (auto f = made.rbegin(); f != made.rend(); ++f)
            RemoveDirectoryA(f->c_str());
        RemoveDirectoryA(dir.c_str());
    }
    std::string File(const std::string& name, const std::string& bytes)
    {
        made.push_back(dir + name);
        TFileStream(dir + name, fmCreate).WriteString(bytes);
        return dir + name;
    }
    // A list entry as the register window keeps it: the name and the product.
    TProd& Add(const std::string& name, const std::string& unit = "")
    {
        owned.push_back(std::make_unique<TProd>());
        owned.back()->Name = name;
        owned.back()->Unit = unit;
        entries.AddObject(name, owned.back().get());
        return *owned.back();
    }
    std::string Saved()
    {
        made.push_back(dir + "Liste.xml");
        UProdList_Export::SaveProductList(dir + "Liste.xml", entries);
        return ReadAll(dir + "Liste.xml");
    }

    std::string dir;
    std::vector<std::string> made;
    std::unique_ptr<TRegisterCore> core = std::make_unique<TRegisterCore>();
    std::vector<std::unique_ptr<TProd>> owned;
    TStringList entries;
};

} // namespace

TEST_F(ProductFile, TheWriterPutsOneLineWithPricesOneToSixThatAreSet)
{
    TProd& brot = Add("Brot", "Stk.");
    brot.Price(1) = 199;
    brot.ThirdParty = true;
    EXPECT_EQ(Saved(),
              Head + "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1><thirtparty /></item>" + Tail);

    TProd& all = Add("Größe & Co <1>", "kg");
    for (int n = 1; n <= 8; ++n)
        all.Price(n) = n == 4 ? 0 : n * 100;
    all.Price(5) = -5;
    all.DiscountSurcharge = all.Voucher = all.DeliveryNote = true;
    all.Quantity = 2.5;
    Add("Leer");
    const std::string written = Saved();
    EXPECT_EQ(written, Head +
                           "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1><thirtparty /></item>"
                           "<item><name>Größe &amp; Co &lt;1&gt;</name><unit>kg</unit><price1>100</price1>"
                           "<price2>200</price2><price3>300</price3><price5>-5</price5><price6>600</price6></item>"
                           "<item><name>Leer</name></item>" +
                           Tail);

    // Loaded back: names, units, prices 1 to 6 and the agency flag; nothing else.
    auto products = Loaded(dir + "Liste.xml");
    ASSERT_EQ(products.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(products[i]->Name + "|" + products[i]->Unit, owned[i]->Name + "|" + owned[i]->Unit);
        for (int n = 1; n <= 8; ++n)
            EXPECT_EQ(products[i]->Price(n), n <= 6 ? owned[i]->Price(n) : 0) << i << " " << n;
        EXPECT_EQ(products[i]->ThirdParty, owned[i]->ThirdParty);
        EXPECT_FALSE(products[i]->Voucher || products[i]->DeliveryNote || products[i]->DiscountSurcharge);
        EXPECT_EQ(products[i]->Quantity, 1.0);
    }

    entries.Add("ohne Produkt");
    UXML_Import::CloseXmlFile();
    EXPECT_THROW(Saved(), EInvalidOperation);
    EXPECT_EQ(ReadAll(dir + "Liste.xml"), written);
}

TEST_F(ProductFile, TheShippedStandardListHasEveryKindOfProductAndRoundTripsByteForByte)
{
    const std::string shipped = TILLORA_SOURCE_DIR "/data/Produkte/Standard.xml";
    auto products = Loaded(shipped);
    EXPECT_EQ(UXML_Import::LoadedFileName(), shipped);
    ASSERT_GE(products.size(), 40u);
    std::set<int> classes;
    std::set<std::string> names;
    int agency = 0, ampersand = 0;
    TStringList shown;
    for (const auto& p : products) {
        for (int n = 1; n <= 6; ++n)
            if (p->Price(n) > 0) classes.insert(n);
        names.insert(p->Name);
        agency += p->ThirdParty;
        ampersand += p->Name.find('&') != std::string::npos;
        shown.AddObject(p->Name, p.get());
    }
    EXPECT_EQ(classes, (std::set<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(names.size(), products.size());
    EXPECT_GE(agency, 2);
    EXPECT_EQ(ampersand, 1);
    EXPECT_EQ(UProdList_Export::ProductListText(shown), ReadAll(shipped));
}

TEST_F(ProductFile, ReadOnlyFilesInReadOnlyFoldersAndFilesOthersReadLoad)
{
    CreateDirectoryA((dir + "Produkte").c_str(), nullptr);
    made.push_back(dir + "Produkte");
    const std::string name = File("Produkte\\Standard.xml", Head + "<item><name>Brot</name></item>" + Tail);
    ASSERT_TRUE(SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA((dir + "Produkte").c_str(), FILE_ATTRIBUTE_READONLY));
    // Another program reads the file and lets nobody write it (Wine run as root does not
    // refuse writers of read-only files; this refuses them everywhere).
    TFileStream other(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_THROW(TFileStream(name, fmOpenReadWrite), EFOpenError);
    EXPECT_EQ(Loaded(name).size(), 1u);
    SetFileAttributesA((dir + "Produkte").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ProductFile, TheLoadedFileStaysOpenForReadersOnlyUntilItIsClosed)
{
    const std::string name = File("Liste.xml", Head + "<item><name>Brot</name></item>" + Tail);
    UXML_Import::LoadXmlFile(name);
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone));
    EXPECT_THROW(TFileStream(name, fmCreate), EFCreateError);

    // "Speichern": the name, close, write, load again.
    const std::string current = UXML_Import::LoadedFileName();
    UXML_Import::CloseXmlFile();
    EXPECT_EQ(UXML_Import::LoadedFileName(), "");
    EXPECT_EQ(UXML_Import::NextProduct(), nullptr);
    Add("Milch");
    UProdList_Export::SaveProductList(current, entries);
    auto products = Loaded(current);
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(products[0]->Name, "Milch");
}

TEST_F(ProductFile, AFileThatCannotBeOpenedLeavesNoListBehind)
{
    Loaded(File("Liste.xml", Head + "<item><name>Brot</name></item>" + Tail));
    try {
        UXML_Import::LoadXmlFile(dir + "fehlt.xml");
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Datei \"" + dir + "fehlt.xml\" kann nicht geöffnet werden");
    }
    EXPECT_EQ(UXML_Import::LoadedFileName(), "");
    EXPECT_EQ(UXML_Import::NextProduct(), nullptr);

    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string standard = ExtractFilePath(exe) + "Produkte\\Standard.xml";
    EXPECT_EQ(UXML_Import::StandardProductListPath(), standard);
    if (FileExists(standard)) return;
    try {
        UXML_Import::LoadStandardProductList();
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Datei \"" + standard + "\" kann nicht geöffnet werden");
    }
}

TEST_F(ProductFile, BigAndRandomFilesNeitherCrashNorHang)
{
    std::string big = Head; // 50 MB: one item again and again, the duplicates dropped
    while (big.size() < 50u << 20)
        big += "<item><name>Brot</name><unit>Stk.</unit><price1>199</price1></item>";
    auto products = Loaded(File("gross.xml", big + Tail));
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(products[0]->Price(1), 199);

    std::string noise(1 << 20, '\0');
    unsigned seed = 4711;
    for (char& c : noise)
        c = static_cast<char>((seed = seed * 134775813u + 1) >> 24);
    EXPECT_EQ(Loaded(File("zufall.xml", noise)).size(), 0u);

    // Too big for a product list: refused with the file's name, and no list stays.
    made.push_back(dir + "riesig.xml");
    {
        TFileStream f(dir + "riesig.xml", fmCreate);
        f.Seek(UXML_Import::MaxProductFileSize, soBeginning);
        f.WriteString("<");
    }
    try {
        UXML_Import::LoadXmlFile(dir + "riesig.xml");
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Datei \"" + dir + "riesig.xml\" ist zu groß für eine Produktliste");
    }
    EXPECT_EQ(UXML_Import::NextProduct(), nullptr);
}
