#include "skin/engine/tools/VtzWriter.h"

#include <stdexcept>

#include <zlib.h>

namespace vtz {

std::string Compress(const std::string& data, int level)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), level) != Z_OK)
        throw std::runtime_error("zlib cannot compress");
    out.resize(size);
    return out;
}

std::string Int32(long long value)
{
    const auto v = static_cast<unsigned long>(value);
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

std::string Pack(const std::vector<Entry>& entries)
{
    std::string out = "VTzf" + Int32(static_cast<long long>(entries.size()));
    for (const Entry& e : entries)
        out += Int32(static_cast<long long>(e.name.size())) + e.name + Int32(static_cast<long long>(e.data.size())) +
               Compress(e.data, e.level);
    return out;
}

} // namespace vtz
