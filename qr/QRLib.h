// QRLib.dll: the QR symbol of a text, for the register's verification links. A host names the
// DLL in its import table (link QRLib::imports) and calls the two functions below; both use the
// C calling convention and are exported under their plain names on x86 and x64.
//
// The symbol: error-correction level M (about 15 % of the code words can be restored), the
// smallest version of 1 to 40 that holds the text, the mask chosen by the encoder. The text is
// taken byte for byte (code page 1252) and encoded in the shortest mix of numeric,
// alphanumeric and 8-bit segments; upper and lower case are kept. Level M holds up to 2,331
// bytes of arbitrary text ("http://" links up to that length), 3,391 characters of upper-case
// letters, digits and " $%*+-./:" alone, or 5,596 digits.
//
// Worked example: CalculateQR("a") returns 21; GetQR then hands out the 21 × 21 modules of a
// version-1 symbol, the three finder patterns at the top left, top right and bottom left.
#pragma once

#include <cstdint>

#ifdef QRLIB_BUILD
#define QRLIB_API extern "C"
#else
#define QRLIB_API extern "C" __declspec(dllimport)
#endif

// Computes the symbol of the zero-terminated text and keeps it for GetQR, replacing the one
// before. Returns its size (21 to 177 modules a side), or 0 when there is no symbol: for a null
// pointer, an empty text, or a text longer than the largest symbol holds.
QRLIB_API std::int32_t __cdecl CalculateQR(const char* text);

// The symbol of the last CalculateQR call: size × size bytes, one per module, row by row from
// the top row, each row from left to right; 1 for a dark module, 0 for a light one. size
// (when not null) receives the modules a side. Returns null, with size 0, when there is no
// symbol. The bytes belong to the library and stay valid until the next CalculateQR call; the
// caller never frees them. The symbol has no quiet zone: a picture leaves four light modules
// around it.
QRLIB_API const std::uint8_t* __cdecl GetQR(std::int32_t* size);
