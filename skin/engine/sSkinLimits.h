// How much of the program's memory one skin may take. The program ships as a 32-bit process: 2 GiB
// of address space, shared with its windows and journals, and while a new skin loads the skin
// before it stays in memory until the new one has loaded whole. A real skin takes a few
// megabytes; a damaged or hostile one (a few kilobytes of zlib data unpack to gigabytes, a
// picture header names any size) must be refused before it takes the memory, not end the
// program with an allocation failure.
//
//   MaxEntryBytes      one entry of a packed container, unpacked,      64 MiB
//                      or one picture file of a skin folder
//   MaxContainerBytes  all entries of one container, unpacked         256 MiB
//   MaxPictureBytes    all pictures of one skin, decoded, counted at  128 MiB
//                      4 bytes a pixel (the most any kept picture takes)
//
// An entry or a container above its cap is a damaged container (EvxDamagedContainer, the load
// stops); a picture file above the entry cap, and a picture that would pass the pictures' cap,
// is a damaged picture: it adds no record and the skin loads without it.
#pragma once

#include <cstdint>

namespace SkinLimits {

constexpr int64_t MaxEntryBytes = int64_t{64} << 20;
constexpr int64_t MaxContainerBytes = int64_t{256} << 20;
constexpr int64_t MaxPictureBytes = int64_t{128} << 20;
constexpr int64_t PictureBytesPerPixel = 4;

} // namespace SkinLimits
