#include "register/ui/UReceiptLines.h"

#include <algorithm>

#include "gui/base/NumberFormat.h"
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
