// The receipt being entered, in the three forms the rest of the register needs: the item list
// (TLV entries 160-182, hashed into the transaction command), the item XML text (written by the
// journal) and the eight VAT containers (transaction command, VAT lines, receipt total). The
// register window drives it: ResetItemList for every new receipt, AddItemData for every
// receipt line, GetReceiptTotal and FormatContainerLine for the total and the VAT table; the
// transaction (UTransaction) closes the XML and hashes the list. The state lives in the core
// (URegisterCore.h); every routine logs to the register monitor as it goes.
//
//   UContainer::ResetItemList();                         // rates from the host's GetVatRate
//   UContainer::AddItemData("1", "", "Brot", false, false, false, {"199"});
//     // item list A0 01 31 A2 04 62 72 6F 74 B1 02 19 9C
//     // XML "<item><qnt>1</qnt><name>Brot</name><price1>199</price1></item>"
//     // container 1: turnover 199, vat 31.77...
//   UContainer::HashItemList();                          // SHA-1, on the card or the host
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "register/core/UItemList.h"
#include "register/core/UVatContainer.h"

namespace UContainer {

// Amount texts 1..8 of one item (index 0 is amount 1): integer cents with an optional "-",
// "" for none. 1..6 are the line amounts of VAT classes 1..6, 7 the agency amount, 8 the
// delivery-note amount.
using TAmounts = std::array<std::string, 8>;

// Empties the item list, sets every container to 0 with the rate of its class from the host
// (GetVatRate(n) for 1..6, 0 for 7 and 8), and the item XML text to "<itemList>".
void ResetItemList();

// Adds one item: its XML element, its entries 160 (quantity), 161 (unit, cleaned and cut to
// 8 characters), 162 (name, cleaned), 170 (discount/surcharge), 171 (voucher) and 177..182
// (amounts 1..6 as signed packed BCD), and books amounts 1..8 into their containers; empty and
// zero amounts book nothing. The quantity is normalised (NormalizeQuantity): one longer than 16
// characters ends the item with an empty element "<item></item>", books nothing and gives -1;
// otherwise the result is 0. An item that does not fit the item list (range error), or whose
// quantity or amount is no number (EConvertError), is refused whole: the list, the XML text and
// the containers stay as they were.
int AddItemData(std::string_view quantity, std::string_view unit, std::string_view name, bool discount, bool voucher,
                bool taxExclusive, const TAmounts& amounts);

// Books one amount text (integer cents) into container n (1..8; else the range error).
void AddToContainer(int n, std::string_view amount, bool taxExclusive);

// Container n (1..8; else the range error).
TVatContainer GetContainer(int n);

// The receipt total in cents: the turnovers of containers 1..6, rounded half away from zero.
std::int32_t GetReceiptTotal();

// The VAT line of container n for the receipt, "" when its turnover is 0.
std::string FormatContainerLine(int n, bool taxExclusive);

// Appends one entry to the item list (range error past the limit or for a value over 255
// bytes; nothing added then).
void AddTlv(std::uint8_t tag, std::string_view value);

// Hashes the item list with SHA-1: on the card (HASH_DATA) when the debug window's hash box is
// ticked, else on the host. Logs the list and the hash, and opens the transaction's encoded
// block in the S journal with the base64 item list. Returns the 20 bytes (also kept in the
// core), or none when the card failed: then the monitor's hash line shows the error text and
// the kept hash is not changed, so a sale is never signed with an older receipt's hash.
std::optional<TItemHash> HashItemList();

} // namespace UContainer
