// The VAT containers: eight running sums of the receipt, numbered 1..8. Containers 1..6 are
// the VAT classes; 7 collects agency turnover and 8 delivery-note turnover (rate 0). The
// transaction command, the receipt's VAT lines and the receipt total are made from them.
//
//   TVatContainers c;
//   c.Reset({0.19, 0.07, 0, 0, 0, 0});
//   c.Book(1, 199, false);          // gross: turnover 199, vat 199 * (1 - 1/1.19) = 31.77...
//   c.Book(1, -150, false);         // turnover 49, turnoverNeg 150
//   c.FormatLine(1, false);         // "A  19.0 ..." (VAT table line, see FormatLine)
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TVatContainer {
    double turnover = 0;    // cents: every amount booked, negative ones included
    double turnoverNeg = 0; // cents: the sum of the absolute values of amounts of 0 or below
    double vat = 0;         // cents: the VAT of every amount, unrounded
    double vatRate = 0;     // fraction: 0.19 for 19 %
};

class TVatContainers {
public:
    static constexpr int Count = 8;

    // All sums 0; the rates of classes 1..6 as given, 0 for 7 and 8.
    void Reset(const std::array<double, 6>& rates);

    // Books one amount (cents) into container n (1..8; any other n raises the range error).
    // VAT share: amount * rate when prices are without VAT (taxExclusive), otherwise
    // amount * (1 - 1 / (1 + rate)); computed in extended precision, added unrounded. Amounts
    // of 0 or below also add their absolute value to turnoverNeg.
    void Book(int n, std::int64_t amount, bool taxExclusive);

    // Container n (1..8; else the range error).
    const TVatContainer& Get(int n) const;

    // The sum of the turnovers of containers 1..6, rounded half away from zero; beyond 32 bits
    // the range error.
    std::int32_t ReceiptTotal() const;

    // The receipt's VAT line of container n, or "" when its turnover is 0. With T the turnover
    // and V the vat, each rounded half away from zero: the columns (FormatColumns) letter
    // "A".."H" + two blanks + rate text + "%", then gross, net and V as money text; gross T + V
    // and net T when prices are without VAT, else gross T and net T - V.
    std::string FormatLine(int n, bool taxExclusive) const;

private:
    std::array<TVatContainer, Count> containers_{};
};

// A VAT rate as text of its hundredths of a percent with "." before the last two digits:
// 0.19 -> "19.00", 0.07 -> "7.00", 0.005 -> "0.50", 0 -> "0.00".
std::string VatRateText(double vatRate);

// A sum in cents rounded half away from zero; beyond 64 bits the range error.
std::int64_t RoundCents(double cents);
