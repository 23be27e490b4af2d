// The reader of packed skins (".vtz" files, and the "Data" of an internal skin). Platform-free
// except LoadSkinFile (vxSkinFile.cpp).
//
// Container: "VTzf", an entry count (int32, little-endian), then per entry the name length
// (int32), the name (ANSI, no terminator, no path), the unpacked size (int32) and one zlib
// stream that inflates to exactly that size. There is no packed length: the next entry starts
// right after the zlib stream. Bytes after the last entry are ignored. Exactly one entry is
// the skin text "Options.dat" (any case; with two, the last wins); the others are images.
//
// Damaged input is refused with an exception, never read past: a negative count, a name
// length below 0 or above 255 or beyond the data left, an unpacked size below 0 or above
// 64 MiB, entries whose unpacked sizes add up to more than 256 MiB (refused at the entry that
// passes the sum, before it is unpacked; sSkinLimits.h says why), a zlib stream that is
// broken, ends before its size or holds more, and a container without the options entry (EvxDamagedContainer / EvxDecompressionError / the stream's
// EStreamError for a header cut short). What was unpacked before the error stays in the
// convertor until it is cleared or freed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/base/Classes.h"
#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"
#include "skin/engine/sSkinLimits.h"

// Data that does not start with "VTzf": "Loaded data is not packed Velotex file".
class EvxNotPacked : public Exception {
public:
    EvxNotPacked();
};

// Counts, names or sizes that cannot be right, or no options entry.
class EvxDamagedContainer : public Exception {
public:
    using Exception::Exception;
};

struct TvxImageItem {
    std::string FileName;                // as stored, case kept
    bool IsBitmap = false;               // upper-cased extension with its dot is ".BMP"
    std::unique_ptr<TMemoryStream> Data; // the unpacked bytes
};

class TvxSkinConvertor : public TObject {
    GUI_CLASS(TvxSkinConvertor, TObject)
    static constexpr int MaxNameLength = 255;
    static constexpr int64_t MaxUnpackedSize = SkinLimits::MaxEntryBytes;
    static constexpr int64_t MaxTotalSize = SkinLimits::MaxContainerBytes;

    TvxSkinConvertor() = default;
    ~TvxSkinConvertor() override { Clear(); }

    int ImageCount = 0; // entry count - 1
    std::vector<TvxImageItem> Files;
    std::unique_ptr<TMemoryStream> Options;

    // The container being read: owned (freed with the convertor) or lent (the lender keeps it).
    TStream* PackedData() const { return packed_; }
    void SetPackedData(std::unique_ptr<TStream> owned);
    void LendPackedData(TStream* lent);
    void FreePackedData();

    // Unpacks PackedData from its start into Options and Files (see above).
    void Extract();
    // Frees the files from the last to the first, then Options and PackedData.
    void Clear();

private:
    TStream* packed_ = nullptr;
    std::unique_ptr<TStream> ownedPacked_;
};

// When the file exists: clears the convertor (or creates it), loads the whole file into a
// memory stream as PackedData and extracts it; frees PackedData afterwards when asked. A
// missing file does nothing. Over the file system of Windows.
void LoadSkinFile(const std::string& fileName, std::unique_ptr<TvxSkinConvertor>& convertor, bool freePackedData);
