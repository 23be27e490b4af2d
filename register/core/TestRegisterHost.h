// The register window as the core's tests see it: VAT rates of a table (19 % and 7 % in
// classes 1 and 2), the operator "Anna", gross prices, and receipt calls that do nothing. A test
// overrides what it records.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "register/core/URegisterCore.h"

class TTestRegisterHost : public IRegisterHost {
public:
    std::array<double, 6> rates{0.19, 0.07, 0, 0, 0, 0};
    std::string operatorName = "Anna";
    double GetVatRate(int n) override { return n >= 1 && n <= 6 ? rates[static_cast<std::size_t>(n - 1)] : 0; }
    std::string GetOperatorName() override { return operatorName; }
    bool IsTaxExclusive() override { return false; }
    void AddHashToReceipt(const std::uint8_t*, int, bool) override {}
    void AddSignatureToReceipt(const std::uint8_t*, int, bool) override {}
    void NewReceipt() override {}
    void SetReceiptColor(std::int32_t) override {}
    void SetReceiptText(const std::string&) override {}
};
