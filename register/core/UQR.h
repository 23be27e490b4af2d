// The QR payload and the verification link. The journal writers append the request's data
// field and the card's response to the payload, the command reset empties it (the payload lives
// in the core, URegisterCore.h, a TQrPayload of 1024 bytes). BuildVerifyUrl turns it into the
// link (UQrLink.h: the fields left out, the host, the query), which the core keeps until the
// next build for printing (UPrint) and for the register window's QR picture.
//
// The QR symbol comes from the QR library (QRLib.dll, named in the program's import table).
// The drawing itself belongs to the register window (register/ui/UQRDraw.h); the core hands it
// the symbol and where it goes in a picture:
//
//   UQR::TQrSymbol symbol;
//   if (UQR::QrSymbolOf(UQR::GetVerifyUrl(), symbol))
//       ... module (x, y) dark when symbol.Dark(x, y), drawn at
//           (UQR::SymbolOffset(width, symbol.size) + x, UQR::SymbolOffset(height, symbol.size) + y)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace UQR {

// Appends count bytes at the end of the payload. An append that would pass the 1024 bytes is
// refused whole: false, nothing written.
bool AddQrData(const void* bytes, std::size_t count);

// Payload length 0.
void ClearQrData();

// Takes the fields out of the payload that the link leaves out (UQrLink::FilterFields).
void FilterQrData();

// Filters the payload, builds the link from it ("http://verify.example.org/verify.php?t1=" and
// the payload's base64url; empty for an empty payload), keeps it as the current link, returns it
// in url and empties the payload.
void BuildVerifyUrl(std::string& url);

// The current link: empty until the first build.
const std::string& GetVerifyUrl();

// A QR symbol: size × size modules, row by row from the top, bit 0 set for a dark one.
struct TQrSymbol {
    int size = 0;
    std::vector<std::uint8_t> modules;
    bool Dark(int x, int y) const { return (modules[static_cast<std::size_t>(y * size + x)] & 1) != 0; }
};

// Largest symbol taken from the library: the module index stays within 32,767.
constexpr int MaxSymbolSize = 181;

// The symbol of a text from the QR library (CalculateQR, then GetQR; the modules are copied at
// once). false, with the symbol emptied, for an empty text, for no symbol (GetQR null), or for
// a size outside 1 .. MaxSymbolSize.
bool QrSymbolOf(const std::string& text, TQrSymbol& symbol);

// Where a symbol of size modules starts in a picture extent: (extent - size) div 2, rounded
// toward zero (25 in 100 -> 37; 25 in 20 -> -2).
constexpr int SymbolOffset(int extent, int size) { return (extent - size) / 2; }

} // namespace UQR
