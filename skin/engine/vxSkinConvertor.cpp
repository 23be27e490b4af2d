#include "skin/engine/vxSkinConvertor.h"

#include <cstring>

#include "gui/base/SysUtils.h"
#include "skin/engine/vxInflateStream.h"

namespace {

int32_t ReadInt32(TStream& s)
{
    std::uint8_t b[4];
    s.ReadBuffer(b, sizeof b);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
}

// The smallest entry: name length, an empty name, unpacked size and an empty zlib stream.
constexpr int64_t MinEntrySize = 4 + 4 + 8;

} // namespace

EvxNotPacked::EvxNotPacked() : Exception("Loaded data is not packed Velotex file") {}

void TvxSkinConvertor::SetPackedData(std::unique_ptr<TStream> owned)
{
    FreePackedData();
    ownedPacked_ = std::move(owned);
    packed_ = ownedPacked_.get();
}

void TvxSkinConvertor::LendPackedData(TStream* lent)
{
    FreePackedData();
    packed_ = lent;
}

void TvxSkinConvertor::FreePackedData()
{
    ownedPacked_.reset();
    packed_ = nullptr;
}

void TvxSkinConvertor::Clear()
{
    while (!Files.empty())
        Files.pop_back();
    Options.reset();
    FreePackedData();
}

void TvxSkinConvertor::Extract()
{
    TStream& in = *packed_;
    in.SetPosition(0);
    char magic[4] = {};
    if (in.Read(magic, sizeof magic) != sizeof magic || std::memcmp(magic, "VTzf", 4) != 0) {
        Clear();
        throw EvxNotPacked();
    }
    const int32_t count = ReadInt32(in);
    if (count < 0 || count > (in.Size() - in.Position()) / MinEntrySize)
        throw EvxDamagedContainer("Damaged skin container: entry count " + std::to_string(count));
    ImageCount = count - 1;
    int64_t total = 0;
    for (int32_t entry = 0; entry < count; ++entry) {
        const int32_t nameLength = ReadInt32(in);
        if (nameLength < 0 || nameLength > MaxNameLength || nameLength > in.Size() - in.Position())
            throw EvxDamagedContainer("Damaged skin container: name length " + std::to_string(nameLength));
        std::string name(static_cast<size_t>(nameLength), '\0');
        in.ReadBuffer(name.data(), name.size());
        const int32_t size = ReadInt32(in);
        if (size < 0 || size > MaxUnpackedSize)
            throw EvxDamagedContainer("Damaged skin container: size " + std::to_string(size) + " of " + name);
        total += size; // never more than MaxTotalSize + MaxUnpackedSize
        if (total > MaxTotalSize)
            throw EvxDamagedContainer("Damaged skin container: more than " + std::to_string(MaxTotalSize >> 20) +
                                      " MiB unpacked at " + name);

        TvxInflateStream z(in);
        auto data = std::make_unique<TMemoryStream>();
        TMemoryStream* target = data.get();
        if (UpperCase(name) == "OPTIONS.DAT") {
            Options = std::move(data);
        } else {
            TvxImageItem item;
            item.FileName = name;
            item.IsBitmap = UpperCase(ExtractFileExt(name)) == ".BMP";
            item.Data = std::move(data);
            Files.push_back(std::move(item));
        }
        z.CopyTo(*target, size);
        z.Finish();
        target->SetPosition(0);
    }
    if (!Options) throw EvxDamagedContainer("Damaged skin container: no Options.dat");
}
