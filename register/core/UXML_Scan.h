// Product lists read back: the byte-wise tag scanner that records every recognised tag of a
// product-list file with its byte positions and nesting level, and the products read from
// those records. Platform-free: it works on the file's bytes (code page 1252), which the
// loader (register/core/UXML_Import.h) reads in one piece.
//
// A product-list file is one line of XML without blanks between the elements:
//   <?xml version="1.0" encoding="ISO-8859-1"?><vantra><document-information><version>1.0</version>
//   </document-information><itemList><item><name>Brot</name><unit>Stk.</unit><price1>199</price1>
//   <thirtparty /></item></itemList></vantra>
// Only the 14 tag kinds of XmlTemplates() are recognised, each by exact, case-sensitive
// comparison of the whole tag text: "<name>" but not "<name >", "<Name>" or "<name id="1">".
// Any other tag (the declaration, "<vantra>", "<version>", unknown elements) is skipped and
// leaves the nesting as it is.
//
//   TXMLList list(bytes, "C:\\Kasse\\Produkte\\Standard.xml"); // scan, drop duplicate items
//   while (std::unique_ptr<TProd> p = list.NextProduct()) ... // "Brot", "Stk.", price 1 199
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "register/core/UProd.h"

// What a tag text is to a template (TXML::Match).
enum : int { xmNone = -1, xmOpen = 0, xmClose = 1, xmEmpty = 2 };

// One tag kind: its element name and the tag texts that stand for it. As a template it carries
// no position (StartPos and EndPos -1, Level 0).
class TXML {
public:
    // Name "item" gives OpenTag "<item>" and CloseTag "</item>".
    TXML(std::string name, std::int32_t startPos, std::int32_t level);

    std::string Name;      // "item", "price3", ...
    std::string OpenTag;   // "<" + Name + ">"
    std::string CloseTag;  // "</" + Name + ">"
    std::int32_t StartPos; // byte position just after the open tag; -1 for none
    std::int32_t EndPos;   // byte position just after the close tag; -1 while not closed
    std::int32_t Level;    // nesting level, 1 = outermost recognised element

    // xmOpen when the text equals OpenTag, xmClose when it equals CloseTag, xmEmpty when it is
    // OpenTag followed by CloseTag, else xmNone ("<item>" -> xmOpen, "<item >" -> xmNone).
    int Match(std::string_view tag) const;

protected:
    // Sets Name and builds both tags from it.
    void SetName(std::string name);
};

class TItemList : public TXML {
public:
    TItemList(std::int32_t startPos, std::int32_t level) : TXML("itemList", startPos, level) {}
};
class TItem : public TXML {
public:
    TItem(std::int32_t startPos, std::int32_t level) : TXML("item", startPos, level) {}
};
class TName : public TXML {
public:
    TName(std::int32_t startPos, std::int32_t level) : TXML("name", startPos, level) {}
};
class TQnt : public TXML {
public:
    TQnt(std::int32_t startPos, std::int32_t level) : TXML("qnt", startPos, level) {}
};
class TUnit : public TXML {
public:
    TUnit(std::int32_t startPos, std::int32_t level) : TXML("unit", startPos, level) {}
};
// The agency flag: only the empty element "<thirtparty />" (OpenTag "<thirtparty", CloseTag
// " />"); "<thirtparty>" and "</thirtparty>" are no tags of it.
class TThirt : public TXML {
public:
    TThirt(std::int32_t startPos, std::int32_t level);
};
// "price" + N, N = 1..8 set after construction (SetNumber).
class TPrice : public TXML {
public:
    TPrice(std::int32_t startPos, std::int32_t level) : TXML("price", startPos, level) {}
    // Name "price" + n and its tags; n outside 1..8 raises the range error.
    void SetNumber(int n);
};

// The templates in the order they are asked: itemList, item, name, qnt, unit, thirtparty,
// price1 .. price8. A tag kind is its index here.
enum TXMLKind : std::uint8_t {
    xkItemList,
    xkItem,
    xkName,
    xkQnt,
    xkUnit,
    xkThirt,
    xkPrice1, // .. xkPrice1 + 7 for price8
};
constexpr int XmlTemplateCount = 14;
const std::array<TXML, XmlTemplateCount>& XmlTemplates();

// One recognised tag of a file: its kind (index into XmlTemplates()), positions and level.
struct TXMLTag {
    std::int32_t StartPos;
    std::int32_t EndPos;
    std::int32_t Level;
    std::uint8_t Kind;
};

// The text conventions of product-list files: "&", "<" and ">" in names and units are written
// as "&amp;", "&lt;" and "&gt;" and read back ("Salz & Pfeffer" <-> "Salz &amp; Pfeffer").
// Any other "&" is read as it stands.
std::string EscapeXmlText(std::string_view text);
std::string UnescapeXmlText(std::string_view text);

// The recognised tags of one product-list file, in file order, with the file's bytes from
// which element contents are read, a nesting counter (Level) and a read cursor.
class TXMLList {
public:
    // An empty list: no tags, no products.
    TXMLList() = default;
    // Scans the bytes of a file (at most 2^31 - 1 of them, else the range error) and removes
    // the duplicate items: of several items with the same name (as NextProduct reads it,
    // case-sensitive) only the first stays; a later one goes together with everything nested
    // in it. Items without a name child stay. sourceName names the file in errors.
    TXMLList(std::string bytes, std::string sourceName);

    // Records one tag of kind `kind` whose ">" ends just before byte position p:
    // - an open tag (startPos = p, endPos = -1): the counter goes up, the tag gets its value;
    // - an empty element (startPos = endPos = p): the tag gets the counter + 1, which stays;
    // - a close tag (startPos = -1, endPos = p): closes the last still-open tag at the current
    //   level, whatever its kind, and the counter goes down; at level 0 it is ignored.
    void AddTag(int kind, std::int32_t startPos, std::int32_t endPos);

    int Count() const { return static_cast<int>(tags_.size()); }
    const TXMLTag& Tag(int index) const { return tags_.at(static_cast<std::size_t>(index)); }
    std::int32_t Level() const { return level_; }
    const std::string& SourceName() const { return sourceName_; }

    // The bytes between the tag's open tag and its close tag: from StartPos up to EndPos minus
    // the length of its kind's CloseTag. Empty when the tag was never closed (and for
    // "<thirtparty />").
    std::string GetContent(const TXMLTag& tag) const;

    // Reads products from the first item on again.
    void ResetItemCursor() { cursor_ = 0; }
    // The next item as a new TProd, or none after the last. The children of an item are the
    // tags right after it one level deeper ("name", "unit", "qnt", "price1".."price8",
    // "thirtparty"; others are passed over); the first tag at another level ends them.
    // Name and Unit are the contents (unescaped), Price(n) the content of "price<n>" as an
    // integer, ThirdParty is set by "<thirtparty />". With a "qnt" content q other than 0
    // ("." as decimal point) every price is the price of q units and becomes price / q,
    // rounded to the nearest integer, halves to even (price 10, qnt 4 -> 2; 14, 4 -> 4).
    // A price that is no integer or a qnt that is no number raises EConvertError, a price
    // that leaves 32 bits the range error, each naming the file; the cursor then stands behind
    // the tag that failed.
    std::unique_ptr<TProd> NextProduct();

private:
    void Scan();
    void Process(std::string_view tag, std::int32_t p);
    void RemoveDuplicateItems();
    // Whether the item at `index` has a name child, and that name.
    bool ItemName(std::size_t index, std::string& name) const;

    std::string bytes_;
    std::string sourceName_;
    std::vector<TXMLTag> tags_;
    // The tags still open, one per level 1 .. level_: a close tag takes the last one.
    std::vector<std::uint32_t> open_;
    std::int32_t level_ = 0;
    std::size_t cursor_ = 0;
};
