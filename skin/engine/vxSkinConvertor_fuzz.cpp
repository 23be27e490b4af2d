// Fuzz target of the packed skin reader: any bytes are either unpacked whole (with an options
// entry, every entry of its stated size) or refused with one of the class library's
// exceptions; nothing else may happen, and all entries together stay within the cap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "skin/engine/vxSkinConvertor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream packed;
    if (size > 0) packed.WriteBuffer(data, size);
    TvxSkinConvertor c;
    c.LendPackedData(&packed);
    try {
        c.Extract();
        // One entry or more is options, the rest are files, all of them within the cap.
        if (!c.Options || c.ImageCount < 0 || c.Files.size() > static_cast<size_t>(c.ImageCount)) std::abort();
        int64_t total = c.Options->Size();
        for (const TvxImageItem& f : c.Files)
            total += f.Data->Size();
        if (total > TvxSkinConvertor::MaxTotalSize) std::abort();
    } catch (const Exception&) {
    }
    return 0;
}
