// A property value as a form description writes it: a number, a quoted text, an identifier
// (true, clBtnFace, bsDialog, a component name), a set [a, b], a list of texts ('a' 'b'),
// raw bytes in hex digits {0A1B 2C} or a collection of items < item Name = 'a' end >.
#pragma once

#include <string>
#include <vector>

struct TPropItem;

struct TPropValue {
    enum Kind { Int, Float, String, Ident, Set, List, Binary, Collection } kind = Int;
    long long i = 0;
    double f = 0;
    std::string s;                  // String and Ident (texts in code page 1252), Binary (the bytes)
    std::vector<std::string> items; // Set and List
    // Collection: the items, each its properties in the order written.
    std::vector<std::vector<TPropItem>> collection;

    int AsInt() const;
    double AsFloat() const;
    const std::string& AsString() const;
    bool AsBool() const;
    const std::string& AsIdent() const;
    bool Has(const std::string& setMember) const;
    const std::string& AsBinary() const;

    static TPropValue OfInt(long long v);
    static TPropValue OfString(std::string v);
    static TPropValue OfIdent(std::string v);
};

// The bytes of a raw-data value as stored objects write them: a 32-bit length (low byte first)
// and that many bytes. Bytes whose first four do not give the length of the rest are taken as
// they stand: {03000000 414243} -> "ABC", {414243} -> "ABC".
std::string StoredBytes(const std::string& raw);

// One property of a collection item.
struct TPropItem {
    std::string name;
    TPropValue value;
};

inline TPropValue TPropValue::OfInt(long long v)
{
    TPropValue p;
    p.kind = Int;
    p.i = v;
    return p;
}
inline TPropValue TPropValue::OfString(std::string v)
{
    TPropValue p;
    p.kind = String;
    p.s = std::move(v);
    return p;
}
inline TPropValue TPropValue::OfIdent(std::string v)
{
    TPropValue p;
    p.kind = Ident;
    p.s = std::move(v);
    return p;
}

// Maps an identifier of a property to its number, e.g. {"bsDialog", 3}; EComponentError
// names the property when the identifier is not in the table.
struct TIdentEntry {
    const char* name;
    int value;
};
template <size_t N> int IdentToInt(const TPropValue& v, const TIdentEntry (&table)[N], const std::string& property);
int IdentToInt(const TPropValue& v, const TIdentEntry* table, size_t count, const std::string& property);
template <size_t N> int IdentToInt(const TPropValue& v, const TIdentEntry (&table)[N], const std::string& property)
{
    return IdentToInt(v, table, N, property);
}
