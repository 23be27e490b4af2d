// The item record: one product of a product list or one line of a receipt, with its unit
// prices per VAT class and its flags. The register window and the product-list reader create
// it; the item list books it line by line. It is an object of the class library, so that a
// list entry (the product list's, a string list's) can carry it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "gui/base/Classes.h"

class TProd : public TObject {
    GUI_CLASS(TProd, TObject)
    // A new record: prices 0, name and unit empty, no flags, quantity 1.0.
    TProd() = default;

    std::string Name; // as shown and stored in product lists
    std::string Unit; // unit of measure; empty for none

    // Unit price in cents of VAT class n, n = 1..8 (classes 1-6 are booked; product-list
    // files may carry all eight). An index outside 1..8 raises the range error.
    std::int32_t& Price(int n);
    std::int32_t Price(int n) const;

    bool DiscountSurcharge = false; // the line is a discount or surcharge
    bool Voucher = false;           // the line is a voucher
    bool ThirdParty = false;        // sold on behalf of a third party (agency)
    bool DeliveryNote = false;      // on a delivery note
    double Quantity = 1.0;

    // A new record with every field copied.
    std::unique_ptr<TProd> Clone() const;

    // The sum of the prices of classes 1..6; a sum outside 32 bits raises EIntOverflow.
    std::int32_t GetPriceSum() const;

    // A blank, the letter of every class 1..6 with a price (A for class 1 .. F for class 6),
    // a blank: prices in classes 1 and 2 -> " AB ", no prices -> "  ".
    std::string GetPriceClasses() const;

    // The amount text of slot n (1..8) for quantity q, as the item list takes it: for n = 1..6
    // price(n) × q; for 7 (agency) and 8 (delivery note) the sum of price(c) × q over c = 1..6
    // when ThirdParty or DeliveryNote is set, else 0. "" for 0, else the integer text rounded
    // half away from zero (199 × 3 -> "597", 199 × 1.5 -> "299"). A value outside 32 bits
    // raises the range error; a slot outside 1..8 too.
    std::string GetAmountText(int n, double q) const;

    // Turns the record into a discount or surcharge line: every price n = 1..8 becomes
    // price × (-0.0001) × Quantity × p rounded half away from zero (p = percent × 100 for a
    // discount, × -100 for a surcharge: 3 × 199 with p = 500 -> -30, with p = -500 -> 30), then
    // DiscountSurcharge is set and Quantity is 1. A price outside 32 bits raises the range
    // error and leaves the record as it was.
    void ApplyPercent(int p);

private:
    std::array<std::int32_t, 8> prices_{};
};
