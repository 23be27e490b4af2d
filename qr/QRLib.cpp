// QRLib.dll: CalculateQR and GetQR over libqrencode.
#define QRLIB_BUILD
#include "qr/QRLib.h"

#include <qrencode.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace {

// The symbol of the last CalculateQR call; empty when there is none.
struct Symbol {
    std::vector<std::uint8_t> modules;
    std::int32_t size = 0;
};

Symbol& CurrentSymbol()
{
    static Symbol symbol;
    return symbol;
}

struct QRcodeFree {
    void operator()(QRcode* code) const { QRcode_free(code); }
};
using QRcodePtr = std::unique_ptr<QRcode, QRcodeFree>;

constexpr int kLargestSize = 177; // version 40

} // namespace

QRLIB_API std::int32_t __cdecl CalculateQR(const char* text)
{
    Symbol& symbol = CurrentSymbol();
    symbol.modules.clear();
    symbol.size = 0;
    if (text == nullptr || *text == '\0') return 0;
    // Version 0: the smallest that holds the text; case-sensitive, no Kanji segments.
    QRcodePtr code(QRcode_encodeString(text, 0, QR_ECLEVEL_M, QR_MODE_8, 1));
    if (!code || code->data == nullptr || code->width < 21 || code->width > kLargestSize) return 0;
    const auto count = static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width);
    try {
        symbol.modules.resize(count);
    } catch (...) {
        symbol.modules.clear();
        return 0;
    }
    // The encoder marks each module's role in the upper bits; bit 0 is the colour.
    for (std::size_t i = 0; i < count; ++i)
        symbol.modules[i] = code->data[i] & 1u;
    symbol.size = code->width;
    return symbol.size;
}

QRLIB_API const std::uint8_t* __cdecl GetQR(std::int32_t* size)
{
    const Symbol& symbol = CurrentSymbol();
    if (size != nullptr) *size = symbol.size;
    return symbol.size > 0 ? symbol.modules.data() : nullptr;
}
