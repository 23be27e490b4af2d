// The verification link from the QR payload's bytes: the fields the link leaves out are
// filtered from the payload, the rest goes base64url-encoded into the link's query. Platform-
// free; UQR applies it to the core's payload and keeps the link.
//
// The payload is a row of TLV fields (tag, length byte, value): the transaction's (or report's)
// request data field and then the card's response. The filter walks it field by field:
//   - E1..E6 (VAT containers) are opened: the walk goes on with their inner fields;
//   - D9 and DA (VAT, negative turnover) are removed inside an open VAT container, whose length
//     byte shrinks by the removed bytes; outside one they are kept;
//   - C8 (currency), E7 and E8 (agency and delivery-note containers, with their contents) are
//     removed wherever they stand;
//   - every other field (9E, C4 .. CE, D8, DB, but also E9, DD or fields not known here) is kept
//     and skipped whole, so value bytes are never taken for tags (a report number 200 in
//     CC 01 C8 stays);
//   - a removed field shrinks every open container that holds it whole; a field that is only
//     partly inside an open container is kept and skipped;
//   - a field (or a tag without its length byte) that would pass the payload's end stops the
//     walk: the rest is kept as it is.
// E1 11 D8 02 19 9C D9 02 10 0C DA 03 03 19 0C DB 02 19 00 -> E1 08 D8 02 19 9C DB 02 19 00;
// C8 02 03 D2 -> nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace UQrLink {

// The verification server (a reserved example domain: the register has no server of its own).
inline constexpr const char* VerifyHost = "verify.example.org";

// Filters length bytes in place as above and returns the new length (never more than length;
// nothing is read or written at or past bytes + length).
std::size_t FilterFields(std::uint8_t* bytes, std::size_t length);

// The link of an already filtered payload: "http://verify.example.org/verify.php?t1=" and the
// payload's base64 with "-" for "+" and "_" for "/" ("=" padding kept); empty for no bytes.
// FB FF -> "http://verify.example.org/verify.php?t1=-_8=".
std::string VerifyUrlOf(std::string_view filteredPayload);

} // namespace UQrLink
