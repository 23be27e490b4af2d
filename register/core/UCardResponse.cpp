#include "register/core/UCardResponse.h"

#include "register/core/UConvert.h"
#include "register/core/UXML_Scan.h"

namespace UCardResponse {

namespace {

std::uint8_t At(std::string_view bytes, std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); }

std::string HexDigits(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

std::optional<std::string> UnsignedNumberText(std::string_view bytes)
{
    if (bytes.size() > 4) return std::nullopt;
    std::uint32_t value = 0;
    for (char ch : bytes)
        value = (value << 8) | static_cast<unsigned char>(ch);
    return std::to_string(value);
}

// Walks an answer's bytes; every read is checked against their length.
class TCursor {
public:
    explicit TCursor(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Pos() const { return pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // Whether the byte at the position is this tag.
    bool NextIs(std::uint8_t tag) const { return !AtEnd() && At(bytes_, pos_) == tag; }
    std::uint8_t Next() const { return At(bytes_, pos_); }
    bool Has(std::size_t n) const { return pos_ <= bytes_.size() && bytes_.size() - pos_ >= n; }
    bool Skip(std::size_t n)
    {
        if (!Has(n)) return false;
        pos_ += n;
        return true;
    }
    // A length byte and its value.
    std::optional<std::string_view> LengthValue()
    {
        if (!Has(1)) return std::nullopt;
        const std::size_t length = At(bytes_, pos_);
        if (!Has(1 + length)) return std::nullopt;
        const std::string_view value = bytes_.substr(pos_ + 1, length);
        pos_ += 1 + length;
        return value;
    }
    // A tag (not tested), a length byte and its value.
    std::optional<std::string_view> Field()
    {
        TCursor probe = *this;
        if (!probe.Skip(1)) return std::nullopt;
        const auto value = probe.LengthValue();
        if (value) *this = probe;
        return value;
    }
    std::optional<std::string_view> Take(std::size_t n)
    {
        if (!Has(n)) return std::nullopt;
        const std::string_view value = bytes_.substr(pos_, n);
        pos_ += n;
        return value;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

std::string CutShort(const std::string& element) { return "Antwort der Karte unvollständig: " + element; }
std::string TooLong(const std::string& element)
{
    return "Antwort der Karte fehlerhaft: " + element + " länger als 4 Bytes";
}

// Reads a number field into an element; false (with the problem noted) when it is cut short
// or longer than 4 bytes.
bool NumberField(TCursor& c, const std::string& element, std::string& number, TParsedResponse& r)
{
    const auto value = c.Field();
    if (!value) {
        r.problems.push_back(CutShort(element));
        return false;
    }
    const auto text = SignedNumberText(*value);
    if (!text) {
        r.problems.push_back(TooLong(element));
        return false;
    }
    number = *text;
    r.journal += "<" + element + ">" + number + "</" + element + ">";
    return true;
}

// An amount of a container: a length byte and signed packed BCD.
std::optional<std::string> Amount(TCursor& c)
{
    const auto value = c.LengthValue();
    if (!value) return std::nullopt;
    return UConvert::BcdToDecimal(*value);
}

// A VAT container (its tag at the cursor) into journal and receipt text; false when cut short.
bool VatContainer(TCursor& c, const TTextSource& text, std::string& journal, std::string& receipt)
{
    const std::string number = std::to_string(c.Next() - 0xE0);
    journal = "<containerVat" + number + ">";
    receipt = "\r\nContainer" + number + " :";
    if (!c.Skip(3)) return false; // container tag and length, turnover tag
    const auto turnover = Amount(c);
    if (!turnover) return false;
    journal += "<turnover>" + *turnover + "</turnover>";
    receipt += "\r\n\t" + text(48) + ": " + *turnover;
    if (c.NextIs(0xD9)) {
        c.Skip(1);
        const auto negative = Amount(c);
        if (!negative) return false;
        journal += "<turnoverNeg>" + *negative + "</turnoverNeg>";
        receipt += "\r\n\t" + text(49) + ": " + *negative;
    }
    if (!c.Skip(1)) return false; // rate tag
    const auto rate = c.LengthValue();
    if (!rate) return false;
    const std::string digits = UConvert::BcdToDigits4(*rate);
    journal += "<vatRate>" + digits + "</vatRate>";
    receipt += "\r\n\t" + text(50) + ": " + digits;
    if (c.NextIs(0xDD)) {
        if (!c.Skip(2)) return false;
        journal += "<overflow />";
        receipt += "\r\n\t" + text(51);
    }
    if (c.NextIs(0xDE)) {
        if (!c.Skip(2)) return false;
        journal += "<vatChange />";
        receipt += "\r\n\t" + text(52);
    }
    journal += "</containerVat" + number + ">";
    return true;
}

// A container of turnover and count (agency, delivery notes, training); false when cut short
// or when the count holds more than 4 bytes.
bool CountContainer(TCursor& c, const std::string& element, int heading, bool overflow, const TTextSource& text,
                    std::string& journal, std::string& receipt)
{
    journal = "<" + element + ">";
    receipt = "\r\n" + text(heading) + " :";
    if (!c.Skip(3)) return false; // container tag and length, turnover tag
    const auto turnover = Amount(c);
    if (!turnover) return false;
    journal += "<turnover>" + *turnover + "</turnover>";
    receipt += "\r\n\t" + text(48) + ": " + *turnover;
    if (!c.Skip(1)) return false; // count tag
    const auto count = c.LengthValue();
    if (!count) return false;
    const auto number = UnsignedNumberText(*count);
    if (!number) return false;
    journal += "<cnt>" + *number + "</cnt>";
    receipt += "\r\n\t" + text(54) + ": " + *number;
    if (overflow && c.NextIs(0xDD)) {
        if (!c.Skip(2)) return false;
        journal += "<overflow />";
        receipt += "\r\n\t" + text(51);
    }
    journal += "</" + element + ">";
    return true;
}

// The tpId and tpIdNo fields that open a transaction and a report response, into journal and
// receipt; false (with the problem noted) when one is cut short.
bool TpIdFields(TCursor& c, const TTextSource& text, std::string& number, TParsedResponse& r)
{
    const auto tpId = c.Field();
    if (!tpId) {
        r.problems.push_back(CutShort("tpId"));
        return false;
    }
    r.journal += "<tpId>" + EscapeXmlText(*tpId) + "</tpId>";
    r.receipt += "\r\n" + text(42) + ": \t" + std::string(*tpId);
    if (!NumberField(c, "tpIdNo", number, r)) return false;
    r.receipt += "\r\n" + text(43) + ": " + number;
    return true;
}

} // namespace

std::optional<std::string> SignedNumberText(std::string_view bytes)
{
    if (bytes.size() > 4) return std::nullopt;
    std::uint32_t value = 0;
    for (char ch : bytes)
        value = (value << 8) | static_cast<unsigned char>(ch);
    return std::to_string(static_cast<std::int32_t>(value));
}

std::optional<TCardStatus> ParseCardStatus(std::string_view reply)
{
    if (reply.size() < 3) return std::nullopt;
    TCardStatus s;
    s.state = HexDigits(reply.substr(2, 1));
    TCursor c(reply);
    c.Skip(3);
    std::string_view values[8];
    for (auto& value : values) {
        const auto field = c.Field();
        if (!field) return std::nullopt;
        value = *field;
    }
    const auto tpIdNo = SignedNumberText(values[2]);
    const auto field8 = SignedNumberText(values[6]);
    const auto field9 = SignedNumberText(values[7]);
    if (!tpIdNo || !field8 || !field9) return std::nullopt;
    s.version = std::string(values[0]);
    s.tpId = std::string(values[1]);
    s.tpIdNo = *tpIdNo;
    s.field5 = HexDigits(values[3]);
    s.field6 = HexDigits(values[4]);
    s.field7 = HexDigits(values[5]);
    s.field8 = *field8;
    s.field9 = *field9;
    return s;
}

std::string ParseBookedMonths(std::string_view reply)
{
    TCursor c(reply);
    const auto head = c.Field();
    if (!head) return "";
    std::string months = HexDigits(*head) + ":";
    if (const auto booked = c.Field()) months += *booked;
    return months;
}

TParsedResponse ParseTransactionResponse(std::string_view reply, const TTextSource& text)
{
    TParsedResponse r;
    TCursor c(reply);
    std::string number;
    if (!TpIdFields(c, text, number, r)) return r;
    if (!NumberField(c, "seqNoTransaction", number, r)) return r;
    r.receipt += "\r\n" + text(46) + ": " + number;
    // The signature: 48 bytes from the fourth field's value on (its length byte is not read).
    const auto signature = c.Skip(2) ? c.Take(48) : std::nullopt;
    if (!signature) {
        r.problems.push_back(CutShort("sig"));
        return r;
    }
    r.journal += "<sig>" + HexDigits(*signature) + "</sig>";
    r.signature = std::string(*signature);
    if (c.NextIs(0x9A)) {
        const auto hash = c.Field();
        if (!hash) {
            r.problems.push_back(CutShort("debugHashTransaction"));
            return r;
        }
        r.journal += "<debugHashTransaction>" + HexDigits(*hash) + "</debugHashTransaction>";
    }
    return r;
}

TParsedResponse ParseReportResponse(std::string_view reply, const TTextSource& text)
{
    TParsedResponse r;
    TCursor c(reply);
    if (!c.Skip(2) || c.AtEnd()) {
        r.problems.push_back(CutShort("lifeCycle"));
        return r;
    }
    const std::string lifeCycle = HexDigits(reply.substr(2, 1));
    r.journal += "<lifeCycle>" + lifeCycle + "</lifeCycle>";
    r.receipt += "\r\n" + text(57) + ": \t" + lifeCycle;
    c.Skip(1);
    std::string number;
    if (!TpIdFields(c, text, number, r)) return r;
    if (!NumberField(c, "seqNoReport", number, r)) return r;
    r.receipt += "\r\n" + text(47) + ": \t" + number;
    if (c.NextIs(0xD2)) {
        if (!NumberField(c, "seqNoTransactionFirst", number, r)) return r;
        r.receipt += "\r\n" + text(44) + ": \t" + number;
    }
    if (c.NextIs(0xD3)) {
        if (!NumberField(c, "seqNoTransactionLast", number, r)) return r;
        r.receipt += "\r\n" + text(45) + ": \t" + number;
    }
    if (c.NextIs(0xCB)) {
        if (!NumberField(c, "seqNoTransaction", number, r)) return r;
        r.receipt += "\r\n" + text(46) + ": \t\t" + number;
    }
    std::string journal, receipt;
    while (!c.AtEnd() && c.Next() >= 0xE1 && c.Next() <= 0xE6) {
        const std::string element = "containerVat" + std::to_string(c.Next() - 0xE0);
        if (!VatContainer(c, text, journal, receipt)) {
            r.problems.push_back(CutShort(element));
            return r;
        }
        r.journal += journal;
        r.receipt += receipt;
    }
    struct TCountKind {
        std::uint8_t tag;
        const char* element;
        int heading;
        bool overflow;
    };
    static const TCountKind kinds[] = {{0xE7, "containerThirdparty", 53, true},
                                       {0xE8, "containerDeliverynote", 55, false},
                                       {0xE9, "containerTraining", 56, true}};
    for (const TCountKind& kind : kinds) {
        if (!c.NextIs(kind.tag)) continue;
        if (!CountContainer(c, kind.element, kind.heading, kind.overflow, text, journal, receipt)) {
            r.problems.push_back(CutShort(kind.element));
            return r;
        }
        r.journal += journal;
        r.receipt += receipt;
    }
    if (c.AtEnd()) return r;
    const auto signature = c.Skip(2) ? c.Take(48) : std::nullopt;
    if (!signature) {
        r.problems.push_back(CutShort("sig"));
        return r;
    }
    r.journal += "<sig>" + HexDigits(*signature) + "</sig>";
    r.signature = std::string(*signature);
    return r;
}

} // namespace UCardResponse
