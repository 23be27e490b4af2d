// The GDI side of the colour manager: its logical palettes as palette handles.
#include "skin/engine/vxColorManager.h"

#include <cstddef>
#include <cstring>

static_assert(sizeof(TPaletteEntry) == sizeof(PALETTEENTRY) &&
                  offsetof(TPaletteEntry, Blue) == offsetof(PALETTEENTRY, peBlue),
              "TPaletteEntry is laid out as PALETTEENTRY");

HPALETTE CreatePaletteHandle(const TLogPalette& palette)
{
    std::vector<uint8_t> mem(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * palette.Entries.size());
    auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
    lp->palVersion = palette.Version;
    lp->palNumEntries = static_cast<WORD>(palette.Entries.size());
    if (!palette.Entries.empty())
        std::memcpy(mem.data() + offsetof(LOGPALETTE, palPalEntry), palette.Entries.data(),
                    sizeof(PALETTEENTRY) * palette.Entries.size());
    return CreatePalette(lp);
}
