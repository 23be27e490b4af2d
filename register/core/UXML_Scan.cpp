#include "register/core/UXML_Scan.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_set>

#include "gui/base/Exceptions.h"
#include "gui/base/NumberFormat.h"
#include "register/core/URangeCheck.h"

TXML::TXML(std::string name, std::int32_t startPos, std::int32_t level) : StartPos(startPos), EndPos(-1), Level(level)
{
    SetName(std::move(name));
}

void TXML::SetName(std::string name)
{
    Name = std::move(name);
    OpenTag = "<" + Name + ">";
    CloseTag = "</" + Name + ">";
}

int TXML::Match(std::string_view tag) const
{
    if (tag == OpenTag) return xmOpen;
    if (tag == CloseTag) return xmClose;
    if (tag.size() == OpenTag.size() + CloseTag.size() && tag.starts_with(OpenTag) && tag.ends_with(CloseTag))
        return xmEmpty;
    return xmNone;
}

TThirt::TThirt(std::int32_t startPos, std::int32_t level) : TXML("thirtparty", startPos, level)
{
    OpenTag = "<thirtparty";
    CloseTag = " />";
}

void TPrice::SetNumber(int n)
{
    if (n < 1 || n > 8) RaiseRangeError();
    SetName("price" + std::to_string(n));
}

const std::array<TXML, XmlTemplateCount>& XmlTemplates()
{
    static const std::array<TXML, XmlTemplateCount> templates = [] {
        auto price = [](int n) {
            TPrice p(-1, 0);
            p.SetNumber(n);
            return TXML(p);
        };
        return std::array<TXML, XmlTemplateCount>{
            TItemList(-1, 0), TItem(-1, 0), TName(-1, 0), TQnt(-1, 0), TUnit(-1, 0), TThirt(-1, 0), price(1),
            price(2),         price(3),     price(4),     price(5),    price(6),     price(7),      price(8)};
    }();
    return templates;
}

std::string EscapeXmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string UnescapeXmlText(std::string_view text)
{
    if (text.find('&') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("&amp;")) {
            out += '&';
            i += 4;
        } else if (rest.starts_with("&lt;")) {
            out += '<';
            i += 3;
        } else if (rest.starts_with("&gt;")) {
            out += '>';
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {

// The longest tag text that any template can match (an open tag followed by its close tag).
std::size_t LongestTagText()
{
    std::size_t n = 0;
    for (const TXML& t : XmlTemplates())
        n = std::max(n, t.OpenTag.size() + t.CloseTag.size());
    return n;
}

std::size_t ShortestOpenTag()
{
    std::size_t n = LongestTagText();
    for (const TXML& t : XmlTemplates())
        n = std::min(n, t.OpenTag.size());
    return n;
}

// Halves to the even neighbour: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double RoundHalfEven(double x)
{
    const double whole = std::floor(x);
    const double fraction = x - whole;
    if (fraction > 0.5) return whole + 1;
    if (fraction < 0.5) return whole;
    return std::fmod(whole, 2.0) == 0 ? whole : whole + 1;
}

} // namespace

TXMLList::TXMLList(std::string bytes, std::string sourceName)
    : bytes_(std::move(bytes)), sourceName_(std::move(sourceName))
{
    if (bytes_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) RaiseRangeError();
    Scan();
    RemoveDuplicateItems();
}

void TXMLList::Scan()
{
    // Every recorded tag has a "<" of its own and is at least as long as the shortest open tag.
    static const std::size_t longest = LongestTagText();
    static const std::size_t shortest = ShortestOpenTag();
    tags_.reserve(
        std::min(static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), '<')), bytes_.size() / shortest));
    const char* const data = bytes_.data();
    const std::size_t size = bytes_.size();
    std::string tag;
    tag.reserve(longest);
    bool inTag = false;   // a "<" began a tag text that no ">" has ended yet
    bool tooLong = false; // the tag text has grown past anything a template matches
    for (std::size_t i = 0; i < size; ++i) {
        if (!inTag) {
            // Bytes outside a tag (a ">" among them) are passed over up to the next "<".
            const void* lt = std::memchr(data + i, '<', size - i);
            if (!lt) break;
            i = static_cast<std::size_t>(static_cast<const char*>(lt) - data);
            tag.assign(1, '<');
            inTag = true;
            tooLong = false;
            continue;
        }
        const char c = data[i];
        if (tag.size() < longest) tag += c;
        else tooLong = true;
        if (c == '>') {
            if (!tooLong) Process(tag, static_cast<std::int32_t>(i + 1));
            inTag = false;
        }
    }
}

void TXMLList::Process(std::string_view tag, std::int32_t p)
{
    const auto& templates = XmlTemplates();
    for (int kind = 0; kind < XmlTemplateCount; ++kind) {
        switch (templates[static_cast<std::size_t>(kind)].Match(tag)) {
        case xmOpen:
            AddTag(kind, p, -1);
            return;
        case xmClose:
            AddTag(kind, -1, p);
            return;
        case xmEmpty:
            AddTag(kind, p, p);
            return;
        default:
            break;
        }
    }
}

void TXMLList::AddTag(int kind, std::int32_t startPos, std::int32_t endPos)
{
    if (kind < 0 || kind >= XmlTemplateCount) RaiseRangeError();
    const auto k = static_cast<std::uint8_t>(kind);
    if (startPos >= 0 && endPos < 0) {
        ++level_;
        open_.push_back(static_cast<std::uint32_t>(tags_.size()));
        tags_.push_back({startPos, -1, level_, k});
    } else if (startPos >= 0) {
        tags_.push_back({startPos, endPos, level_ + 1, k});
    } else if (level_ > 0) {
        // The last open tag at the current level is the last of the open ones: each level
        // above 0 holds exactly one, since a tag opens one level deeper than the one before
        // and a close tag always takes the deepest.
        tags_[open_.back()].EndPos = endPos;
        open_.pop_back();
        --level_;
    }
}

std::string TXMLList::GetContent(const TXMLTag& tag) const
{
    if (tag.EndPos < 0 || tag.StartPos < 0) return {};
    const auto& closeTag = XmlTemplates()[tag.Kind].CloseTag;
    const std::int64_t end = static_cast<std::int64_t>(tag.EndPos) - static_cast<std::int64_t>(closeTag.size());
    if (end <= tag.StartPos) return {};
    return bytes_.substr(static_cast<std::size_t>(tag.StartPos), static_cast<std::size_t>(end - tag.StartPos));
}

bool TXMLList::ItemName(std::size_t index, std::string& name) const
{
    const std::int32_t childLevel = tags_[index].Level + 1;
    bool found = false;
    for (std::size_t i = index + 1; i < tags_.size() && tags_[i].Level == childLevel; ++i) {
        if (tags_[i].Kind != xkName) continue;
        name = UnescapeXmlText(GetContent(tags_[i]));
        found = true;
    }
    return found;
}

void TXMLList::RemoveDuplicateItems()
{
    // In place: the tags kept move to the front; an item's name is read from tags behind it,
    // which are not overwritten yet.
    std::unordered_set<std::string> names;
    std::string name;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < tags_.size();) {
        const TXMLTag tag = tags_[i];
        if (tag.Kind == xkItem && ItemName(i, name) && !names.insert(name).second) {
            // The item and everything nested in it: for a closed item exactly the tags that
            // begin before its end.
            do {
                ++i;
            } while (i < tags_.size() && tags_[i].Level > tag.Level);
            continue;
        }
        tags_[kept++] = tag;
        ++i;
    }
    tags_.resize(kept);
    cursor_ = 0;
}

namespace {

// The error again, with the file's name behind its text.
template <class E> [[noreturn]] void RaiseNamed(const Exception& e, const std::string& sourceName)
{
    if (sourceName.empty()) throw E(e.Message());
    throw E(e.Message() + " in \"" + sourceName + "\"");
}

} // namespace

std::unique_ptr<TProd> TXMLList::NextProduct()
{
    while (cursor_ < tags_.size() && tags_[cursor_].Kind != xkItem)
        ++cursor_;
    if (cursor_ >= tags_.size()) return nullptr;
    const std::int32_t childLevel = tags_[cursor_].Level + 1;
    ++cursor_;

    auto prod = std::make_unique<TProd>();
    double q = 1.0;
    while (cursor_ < tags_.size() && tags_[cursor_].Level == childLevel) {
        const TXMLTag& child = tags_[cursor_++];
        try {
            switch (child.Kind) {
            case xkName:
                prod->Name = UnescapeXmlText(GetContent(child));
                break;
            case xkUnit:
                prod->Unit = UnescapeXmlText(GetContent(child));
                break;
            case xkQnt:
                q = StrToFloat(GetContent(child), '.');
                break;
            case xkThirt:
                prod->ThirdParty = true;
                break;
            default:
                if (child.Kind >= xkPrice1) prod->Price(child.Kind - xkPrice1 + 1) = StrToInt(GetContent(child));
            }
        } catch (const EConvertError& e) {
            RaiseNamed<EConvertError>(e, sourceName_);
        }
    }
    if (q != 0) {
        for (int n = 1; n <= 8; ++n) {
            const double unitPrice = RoundHalfEven(prod->Price(n) / q);
            if (!(unitPrice >= std::numeric_limits<std::int32_t>::min() &&
                  unitPrice <= std::numeric_limits<std::int32_t>::max()))
                RaiseNamed<ERangeError>(ERangeError(), sourceName_);
            prod->Price(n) = static_cast<std::int32_t>(unitPrice);
        }
    }
    return prod;
}
