// Fuzz target of the bitmap file reader: any bytes are read as a bitmap file; a picture that
// comes out must hold exactly its rows, and reading stays inside the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gui/base/BmpFormat.h"
#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream s;
    s.Write(data, size);
    s.SetPosition(0);
    TBmpPicture p;
    try {
        ReadBmp(s, p);
    } catch (const EInvalidGraphic&) {
        return 0;
    } catch (const EStreamError&) {
        return 0;
    }
    if (p.Width < 0 || p.Width > TBmpPicture::MaxSide || p.Height > TBmpPicture::MaxSide) std::abort();
    if (p.Pixels.size() != p.Stride * static_cast<std::size_t>(p.Height)) std::abort();
    if (p.Width > 0 && p.Stride < (static_cast<std::size_t>(p.Width) * p.Bits + 7) / 8) std::abort();
    if (p.Bits <= 8 && p.Colors.size() != (std::size_t{1} << p.Bits)) std::abort();
    if (p.Masks && p.Bits != 16 && p.Bits != 32) std::abort();
    return 0;
}
