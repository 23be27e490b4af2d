// The receipt memo's fixed-width lines and the register window's table of line references.
//
// A receipt line has 42 columns: the text in columns 1-24, a blank, the VAT class letters in
// columns 26-32, and the amount ending in column 41 (column 42 stays blank):
//
//   FormatReceiptLine("Brot", " A ", " 1,99€")
//     -> "Brot" + 20 blanks + " " + " A " + 4 blanks + 4 blanks + " 1,99€" + " "
//
// The line table holds one entry per memo line (index 0 is the header): the item whose (first)
// line stands there, which the table owns; the second-line sentinel for the second line of a
// two-line item; or nothing (header, storno lines, total block, VAT table, texts).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "register/core/UProd.h"

constexpr int ReceiptLineWidth = 42;
// Memo lines 0..2047 have a table entry.
constexpr int ReceiptLineCount = 2048;

// The 42-column line; an amount of 42 or more characters cannot be placed (range error).
std::string FormatReceiptLine(std::string_view text, std::string_view classes, std::string_view amount);

// A quantity in the general number format with up to 7 significant digits and the decimal
// comma: 3 -> "3", 1.5 -> "1,5", -1 -> "-1".
std::string QuantityText(double quantity);

// The lines of an item: one for quantity 1 (the name, " 1" and the unit run together, the
// classes, the price sum), else the name alone and then " " q " " unit " x " sum " = " with the
// classes and the line total. Storno lines negate the amounts and leave the unit out. Worked
// out whole before anything is written: a sum or total outside 32 bits raises the overflow or
// range error.
struct TItemLines {
    std::string first, second;
    bool twoLines = false;
};
TItemLines ItemLines(const TProd& item, bool storno);

// The hash as base32 in groups of 5 joined by "-" (20 bytes: 32 characters in 7 groups); room
// for 33 base32 characters, more raise the range error.
std::string HashText(const std::uint8_t* data, int length);

// The signature as base32 with "-" after every fifth character and a line break (CR LF) after
// every 30th, behind its "-"; none behind the last character. 48 bytes give 80 characters in
// three lines. Room for 200 base32 characters, more raise the range error.
std::string SignatureText(const std::uint8_t* data, int length);

class TReceiptLineTable {
public:
    enum TKind { Empty, Item, SecondLineSentinel };

    TReceiptLineTable() = default;
    TReceiptLineTable(const TReceiptLineTable&) = delete;
    TReceiptLineTable& operator=(const TReceiptLineTable&) = delete;

    // The kind of entry at a line (0..2047; other lines raise the range error).
    TKind KindAt(int line) const;
    // The item at a line, or none (empty or sentinel).
    TProd* ItemAt(int line) const;
    // Records an item (the table owns it from now on) or the sentinel at a line (0..2047; other
    // lines raise the range error and the item stays with the caller).
    void SetItem(int line, std::unique_ptr<TProd>& item);
    void SetSecondLine(int line);
    // Frees every item and empties every entry.
    void Clear();

private:
    struct TEntry {
        TKind kind = Empty;
        std::unique_ptr<TProd> item;
    };
    static void Check(int line);
    std::array<TEntry, ReceiptLineCount> entries_;
};
