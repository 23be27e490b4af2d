#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gui/base/Exceptions.h"
#include "register/core/UXML_Scan.h"

namespace {

const std::string Head = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><document-information>"
                         "<version>1.0</version></document-information><itemList>";

std::string Doc(const std::string& items) { return Head + items + "</itemList></vantra>"; }

// Position just after the n-th (0-based) occurrence of a text.
std::string After(const std::string& s, const std::string& what, int n = 0)
{
    std::size_t p = s.find(what);
    while (n-- > 0)
        p = s.find(what, p + 1);
    return std::to_string(p + what.size());
}

// The recognised tags as "name level [start,end]".
std::vector<std::string> Tags(const TXMLList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) {
        const TXMLTag& t = list.Tag(i);
        out.push_back(XmlTemplates()[t.Kind].Name + " " + std::to_string(t.Level) + " [" + std::to_string(t.StartPos) +
                      "," + std::to_string(t.EndPos) + "]");
    }
    return out;
}

std::vector<std::unique_ptr<TProd>> Products(TXMLList& list)
{
    std::vector<std::unique_ptr<TProd>> out;
    list.ResetItemCursor();
    while (auto p = list.NextProduct())
        out.push_back(std::move(p));
    return out;
}

std::unique_ptr<TProd> OnlyProduct(const std::string& items)
{
    TXMLList list(Doc(items), "");
    auto p = list.NextProduct();
    EXPECT_EQ(list.NextProduct(), nullptr);
    return p ? std::move(p) : std::make_unique<TProd>();
}

} // namespace

TEST(XmlTagScanner, TemplatesMatchWholeTagTextsExactly)
{
    const TXML& name = XmlTemplates()[xkName];
    EXPECT_EQ(name.Match("<name>"), xmOpen);
    EXPECT_EQ(name.Match("</name>"), xmClose);
    for (const char* other : {"<name >", "<Name>", "<name id=\"1\">", "</name >", "<name/>", "<names>"})
        EXPECT_EQ(name.Match(other), xmNone) << other;
    const TXML& thirt = XmlTemplates()[xkThirt];
    EXPECT_EQ(thirt.Match("<thirtparty />"), xmEmpty);
    for (const char* other : {"<thirtparty>", "</thirtparty>", "<thirtparty/>"})
        EXPECT_EQ(thirt.Match(other), xmNone) << other;
    EXPECT_EQ(XmlTemplates()[xkPrice1 + 7].OpenTag, "<price8>");
}

TEST(XmlTagScanner, RecordsRecognisedTagsWithPositionsAndLevels)
{
    const std::string doc = Doc("<item><name>Brot</name><ean>4001</ean><price1>199</price1><thirtparty /></item>");
    TXMLList list(doc, "");
    EXPECT_EQ(Tags(list), (std::vector<std::string>{
                              "itemList 1 [" + After(doc, "<itemList>") + "," + After(doc, "</itemList>") + "]",
                              "item 2 [" + After(doc, "<item>") + "," + After(doc, "</item>") + "]",
                              "name 3 [" + After(doc, "<name>") + "," + After(doc, "</name>") + "]",
                              "price1 3 [" + After(doc, "<price1>") + "," + After(doc, "</price1>") + "]",
                              "thirtparty 3 [" + After(doc, "/>") + "," + After(doc, "/>") + "]"}));
    EXPECT_EQ(list.GetContent(list.Tag(2)), "Brot");
    EXPECT_EQ(list.GetContent(list.Tag(4)), "");
}

TEST(XmlTagScanner, CloseTagsCloseByLevelAndStrayBytesFormNoTags)
{
    // "</unit>" closes the open "name"; a close tag at level 0 and a ">" outside a tag are
    // ignored; a "<" inside a tag text belongs to it; an overlong tag text is no tag.
    const std::string doc = "</item>a>b<item><name>Kaffee</unit><x<name><" + std::string(5000, 'z') +
                            "<price1><price2>5</price2></item></name>";
    TXMLList list(doc, "");
    EXPECT_EQ(Tags(list),
              (std::vector<std::string>{"item 1 [" + After(doc, "<item>") + "," + After(doc, "</item>", 1) + "]",
                                        "name 2 [" + After(doc, "<name>") + "," + After(doc, "</unit>") + "]",
                                        "price2 2 [" + After(doc, "<price2>") + "," + After(doc, "</price2>") + "]"}));
    EXPECT_EQ(list.Level(), 0);
    auto p = list.NextProduct();
    EXPECT_EQ(p->Name, "Kaffee"); // ends the length of "</name>" before the end of "</unit>"
    EXPECT_EQ(p->Price(2), 5);
}

TEST(XmlProducts, PricesOfTheGivenQuantityBecomeUnitPricesHalvesToEven)
{
    EXPECT_EQ(OnlyProduct("<item><name>A</name><qnt>2</qnt><price1>300</price1></item>")->Price(1), 150);
    auto p = OnlyProduct("<item><qnt>4</qnt><price1>10</price1><price3>14</price3><price6>-10</price6></item>");
    EXPECT_EQ(p->Price(1), 2); // 2.5
    EXPECT_EQ(p->Price(3), 4); // 3.5
    EXPECT_EQ(p->Price(6), -2);
    EXPECT_EQ(OnlyProduct("<item><price1>10</price1><qnt>0</qnt></item>")->Price(1), 10);
    p = OnlyProduct("<item><qnt>0.5</qnt><price7>-99</price7><price8>7</price8></item>");
    EXPECT_EQ(p->Price(7), -198);
    EXPECT_EQ(p->Price(8), 14);
    EXPECT_EQ(p->Quantity, 1.0);
}

TEST(XmlProducts, FieldsOfAnItemAndWhatIsNoField)
{
    auto p = OnlyProduct("<item><name>Salz &amp; Pfeffer</name><color>rot</color><unit>&lt;Stk.&gt;</unit>"
                         "<price1>1</price1><price2>2</price2><price3>3</price3><price4>4</price4>"
                         "<price5>5</price5><price6>6</price6><foo/><thirtparty /></item>");
    EXPECT_EQ(p->Name, "Salz & Pfeffer");
    EXPECT_EQ(p->Unit, "<Stk.>");
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(p->Price(n), n);
    EXPECT_TRUE(p->ThirdParty);
    EXPECT_EQ(OnlyProduct("<item><name>R&D &quot; &amp;lt;</name></item>")->Name, "R&D &quot; &lt;");
    EXPECT_FALSE(OnlyProduct("<item><name>A</name><thirtparty></thirtparty></item>")->ThirdParty);
    p = OnlyProduct("<item><name >Brot</name ><price1>199</price1></item>");
    EXPECT_EQ(p->Name, "");
    EXPECT_EQ(p->Price(1), 199);
    // A grandchild is no field, and the first tag at another level ends the children.
    p = OnlyProduct("<item><unit><price1>5</price1></unit><price2>7</price2></item>");
    EXPECT_EQ(p->Unit, "<price1>5</price1>");
    EXPECT_EQ(p->Price(1) + p->Price(2), 0);
}

TEST(XmlProducts, OfItemsWithOneNameOnlyTheFirstIsOffered)
{
    TXMLList list(Doc("<item><name>Brot</name><price1>199</price1></item><item><name>brot</name></item>"
                      "<item><name>Brot</name><price1>250</price1></item>"
                      "<item><price1>1</price1></item><item><price1>2</price1></item>"),
                  "");
    auto products = Products(list);
    ASSERT_EQ(products.size(), 4u);
    EXPECT_EQ(products[0]->Name + std::to_string(products[0]->Price(1)), "Brot199");
    EXPECT_EQ(products[1]->Name, "brot");
    EXPECT_EQ(products[3]->Price(1), 2); // items without a name are not compared
    // A duplicate cut off before its end takes its fields along.
    TXMLList cut(Head + "<item><name>A</name><price1>1</price1></item><item><name>A</name><price1>9</price1>", "");
    products = Products(cut);
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(products[0]->Price(1), 1);
}

TEST(XmlProducts, FilesWithoutItemsOfferNothing)
{
    for (const std::string& doc : {std::string(), Doc(""), std::string("<item"), std::string("<name>A</name>"),
                                   std::string("<Item><name>A</name></Item>")})
        EXPECT_EQ(TXMLList(doc, "").NextProduct(), nullptr) << doc;
}

TEST(XmlProducts, BadNumbersRaiseNamingTheFileAfterTheProductsBefore)
{
    TXMLList list(Doc("<item><name>A</name><price1>5</price1></item>"
                      "<item><name>B</name><price1>1,99</price1></item>"
                      "<item><name>C</name><qnt>zwei</qnt></item>"
                      "<item><name>D</name><qnt>0.000001</qnt><price1>2000000000</price1></item>"
                      "<item><name>E</name></item>"),
                  "C:\\Produkte\\L.xml");
    EXPECT_EQ(list.NextProduct()->Name, "A");
    const char* errors[] = {"'1,99' ist kein gültiger Integerwert in \"C:\\Produkte\\L.xml\"",
                            "'zwei' ist kein gültiger Gleitkommawert in \"C:\\Produkte\\L.xml\"",
                            "Fehler bei Bereichsprüfung in \"C:\\Produkte\\L.xml\""};
    for (const char* error : errors) {
        try {
            list.NextProduct();
            ADD_FAILURE() << error;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), error);
        }
    }
    EXPECT_EQ(list.NextProduct()->Name, "E");
    // Cut off inside a price: the items before, then the open price reads as "".
    TXMLList cut(Head + "<item><name>A</name></item><item><name>E</name><price2>11", "");
    EXPECT_EQ(cut.NextProduct()->Name, "A");
    EXPECT_THROW(cut.NextProduct(), EConvertError);
}

TEST(XmlTagScanner, HostileFilesEndInLinearTime)
{
    std::string deep; // every item's only child is the next item
    for (int i = 0; i < 200000; ++i)
        deep += "<item>";
    TXMLList nested(deep, "");
    EXPECT_EQ(nested.Level(), 200000);
    EXPECT_EQ(Products(nested).size(), 100000u);

    std::string flood = "<itemList>"; // finished tags, then close tags that find nothing open
    for (int i = 0; i < 200000; ++i)
        flood += "<thirtparty />";
    for (int i = 0; i < 200000; ++i)
        flood += "</item>";
    TXMLList closes(flood, "");
    EXPECT_EQ(closes.Count(), 200001);
    EXPECT_EQ(std::to_string(closes.Tag(0).EndPos), After(flood, "</item>"));

    std::string noise(1 << 20, '\0');
    std::uint32_t seed = 12345;
    for (char& c : noise) {
        seed = seed * 134775813u + 1;
        const std::uint32_t r = seed >> 24;
        c = r < 32 ? '<' : r < 64 ? '>' : static_cast<char>(r);
    }
    TXMLList random(noise, "");
    EXPECT_EQ(Products(random).size(), 0u);
}
