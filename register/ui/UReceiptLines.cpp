#include "register/ui/UReceiptLines.h"

#include <algorithm>
#include <climits>

#include "gui/base/NumberFormat.h"
#include "register/core/UConvert.h"
#include "register/core/Ubase64.h"
#include "register/core/URangeCheck.h"

std::string FormatReceiptLine(std::string_view text, std::string_view classes, std::string_view amount)
{
    std::string line(ReceiptLineWidth, ' ');
    line.replace(0, std::min<size_t>(text.size(), 24), text.substr(0, 24));
    line.replace(25, std::min<size_t>(classes.size(), 7), classes.substr(0, 7));
    if (!amount.empty()) {
        if (amount.size() >= static_cast<size_t>(ReceiptLineWidth)) RaiseRangeError();
        line.replace(static_cast<size_t>(ReceiptLineWidth - 1) - amount.size(), amount.size(), amount);
    }
    return line;
}

std::string QuantityText(double quantity) { return FloatToStrG(quantity, 7); }

namespace {

// The line total of an item: price sum × quantity, rounded; outside 32 bits the range error.
std::int32_t LineTotal(const TProd& item)
{
    const double total = UConvert::RoundCommercial(static_cast<long double>(item.GetPriceSum()) * item.Quantity);
    if (!(total >= -2147483648.0 && total <= 2147483647.0)) RaiseRangeError();
    return static_cast<std::int32_t>(total);
}

std::string Money(std::int32_t cents) { return UConvert::CentsToMoneyText(cents); }

// -cents; the range error for the one value without a negative.
std::int32_t Negated(std::int32_t cents)
{
    if (cents == INT32_MIN) RaiseRangeError();
    return -cents;
}
} // namespace

TItemLines ItemLines(const TProd& item, bool storno)
{
    TItemLines l;
    const std::string sum = Money(item.GetPriceSum());
    if (item.Quantity == 1.0) {
        std::string text = item.Name;
        if (!storno && !item.Unit.empty()) text += " 1" + item.Unit;
        const std::int32_t amount = storno ? Negated(item.GetPriceSum()) : item.GetPriceSum();
        l.first = FormatReceiptLine(text, item.GetPriceClasses(), Money(amount));
        return l;
    }
    l.twoLines = true;
    l.first = FormatReceiptLine(item.Name, "", "");
    const std::int32_t total = LineTotal(item);
    const std::string q = QuantityText(item.Quantity);
    const std::string text = storno ? " " + q + " x " + sum + " = " : " " + q + " " + item.Unit + " x " + sum + " = ";
    l.second = FormatReceiptLine(text, item.GetPriceClasses(), Money(storno ? Negated(total) : total));
    return l;
}

namespace {

// Base32 with "-" after every fifth character and, when lineLength is not 0, CR LF after every
// lineLength-th (behind its "-"); nothing behind the last character. Room for `room` base32
// characters.
template <size_t room> std::string GroupedBase32(const std::uint8_t* data, int length, size_t lineLength)
{
    char text[room];
    const size_t n = Ubase64::Base32Encode(data, static_cast<size_t>(std::max(length, 0)), text, sizeof text);
    std::string grouped;
    for (size_t i = 0; i < n; ++i) {
        grouped += text[i];
        if (i + 1 == n) break;
        if ((i + 1) % 5 == 0) grouped += '-';
        if (lineLength && (i + 1) % lineLength == 0) grouped += "\r\n";
    }
    return grouped;
}

} // namespace

std::string HashText(const std::uint8_t* data, int length) { return GroupedBase32<33>(data, length, 0); }

std::string SignatureText(const std::uint8_t* data, int length) { return GroupedBase32<200>(data, length, 30); }

void TReceiptLineTable::Check(int line)
{
    if (line < 0 || line >= ReceiptLineCount) RaiseRangeError();
}

TReceiptLineTable::TKind TReceiptLineTable::KindAt(int line) const
{
    Check(line);
    return entries_[static_cast<size_t>(line)].kind;
}

TProd* TReceiptLineTable::ItemAt(int line) const
{
    Check(line);
    return entries_[static_cast<size_t>(line)].item.get();
}

void TReceiptLineTable::SetItem(int line, std::unique_ptr<TProd>& item)
{
    Check(line);
    TEntry& e = entries_[static_cast<size_t>(line)];
    e.item = std::move(item);
    e.kind = e.item ? Item : Empty;
}

void TReceiptLineTable::SetSecondLine(int line)
{
    Check(line);
    TEntry& e = entries_[static_cast<size_t>(line)];
    e.item.reset();
    e.kind = SecondLineSentinel;
}

void TReceiptLineTable::Clear()
{
    for (TEntry& e : entries_) {
        e.item.reset();
        e.kind = Empty;
    }
}
