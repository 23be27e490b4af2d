// Writing packed skin containers (the format read by skin/engine/vxSkinConvertor.h): for the
// packer tool that turns a skin folder into a ".vtz" file at build time, and for tests that
// need containers of their own. Plain C++ and zlib.
#pragma once

#include <string>
#include <vector>

namespace vtz {

struct Entry {
    std::string name; // stored as given (ANSI, no path)
    std::string data; // the unpacked bytes
    int level = 9;    // zlib level 0..9
};

// One zlib stream (RFC 1950) of the data at the level.
std::string Compress(const std::string& data, int level);
// A 32-bit little-endian integer as four bytes.
std::string Int32(long long value);
// The whole container: "VTzf", the entry count, the entries in the given order.
std::string Pack(const std::vector<Entry>& entries);

} // namespace vtz
