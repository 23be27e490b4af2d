#include "gui/base/PropValue.h"

#include <cstdint>

#include "gui/base/SysUtils.h"

int TPropValue::AsInt() const
{
    if (kind == Int) return static_cast<int>(i);
    if (kind == Float) return static_cast<int>(f);
    throw EComponentError("Zahl erwartet statt '" + s + "'");
}

double TPropValue::AsFloat() const
{
    if (kind == Float) return f;
    return AsInt();
}

const std::string& TPropValue::AsString() const
{
    if (kind == String || kind == Ident) return s;
    throw EComponentError("Text erwartet");
}

bool TPropValue::AsBool() const
{
    if (kind == Ident && SameText(s, "true")) return true;
    if (kind == Ident && SameText(s, "false")) return false;
    throw EComponentError("True oder False erwartet statt '" + s + "'");
}

const std::string& TPropValue::AsIdent() const
{
    if (kind == Ident) return s;
    throw EComponentError("Bezeichner erwartet");
}

const std::string& TPropValue::AsBinary() const
{
    if (kind == Binary) return s;
    throw EComponentError("Binärdaten erwartet");
}

std::string StoredBytes(const std::string& raw)
{
    if (raw.size() < 4) return raw;
    uint32_t length = 0;
    for (int i = 3; i >= 0; --i)
        length = length << 8 | static_cast<unsigned char>(raw[static_cast<size_t>(i)]);
    return length == raw.size() - 4 ? raw.substr(4) : raw;
}

bool TPropValue::Has(const std::string& setMember) const
{
    for (const auto& m : items)
        if (SameText(m, setMember)) return true;
    return false;
}

int IdentToInt(const TPropValue& v, const TIdentEntry* table, size_t count, const std::string& property)
{
    if (v.kind == TPropValue::Int) return static_cast<int>(v.i);
    for (size_t k = 0; k < count; ++k)
        if (v.kind == TPropValue::Ident && SameText(v.s, table[k].name)) return table[k].value;
    throw EComponentError("Ungültiger Wert '" + v.s + "' für " + property);
}
