// The item record: one product of a product list or one line of a receipt, with its unit
// prices per VAT class and its flags. The register window and the product-list reader create
// it; the item list books it line by line. It is an object of the class library, so that a
// list entry (the product list's, a string list's) can carry it.
#pragma once

#include <array>
#include <cstdint>
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

private:
    std::array<std::int32_t, 8> prices_{};
};
