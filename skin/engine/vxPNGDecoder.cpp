#include "skin/engine/vxPNGDecoder.h"

#include <algorithm>
#include <cstring>

#include "gui/base/Exceptions.h"
#include "skin/engine/vxCRC32.h"
#include "skin/engine/vxLZ77Decoder.h"
#include "skin/engine/vxPNGFilters.h"

namespace {
const char* const kInvalidFormat = "Cannot load image. Invalid or unexpected PNG image format.";
const char* const kCompressionScheme = "Cannot load image. The compression scheme is not supported for PNG files.";
const char* const kBadPalette = "Cannot load image. Palette in PNG file is invalid.";
const char* const kBadColorFormat = "Invalid color format in PNG file.";
const char* const kBadCRC = "Cannot load image. CRC error found in PNG file.";
const char* const kCriticalChunk = "Cannot load PNG image. Unexpected but critical chunk detected.";
const char* const kCompressionError = "Cannot load image. Compression error found in PNG file.";
const char* const kExtraData = "Cannot load image. Extra compressed data found in PNG file.";

const uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

constexpr uint32_t ChunkName(const char (&n)[5])
{
    return static_cast<uint32_t>(static_cast<uint8_t>(n[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(n[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(n[2])) << 8 | static_cast<uint8_t>(n[3]);
}
constexpr uint32_t kIHDR = ChunkName("IHDR"), kIDAT = ChunkName("IDAT"), kIEND = ChunkName("IEND"),
                   kPLTE = ChunkName("PLTE"), kgAMA = ChunkName("gAMA"), ktRNS = ChunkName("tRNS"),
                   kbKGD = ChunkName("bKGD");

// The longest chunk: 2^31 - 1 bytes.
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;

// Inflated rows are gathered in blocks of at least this size.
constexpr size_t kBlockSize = 256 * 1024;

uint32_t BE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           p[3];
}

uint32_t BE16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 8 | p[1]; }

uint32_t Scale16(uint32_t v) { return v * 255u / 65535u; }

TColor RGBColor(uint32_t r, uint32_t g, uint32_t b)
{
    return static_cast<TColor>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}

int FormatBits(TPixelFormat f)
{
    switch (f) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf24bit:
        return 24;
    default:
        return 32;
    }
}

// The seven passes of Adam7.
struct TPass {
    uint32_t FirstRow, FirstColumn, RowStep, ColumnStep;
    uint8_t Mask;
};
const TPass kAdam7[7] = {{0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88}, {0, 2, 4, 4, 0x22},
                         {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55}, {1, 0, 2, 1, 0xFF}};
} // namespace

TPNGDecoder::TPNGDecoder(TColorManager& colorManager, TPNGTarget& target) : cm_(colorManager), target_(target) {}

TPNGDecoder::~TPNGDecoder() = default;

// ---- Chunks

void TPNGDecoder::NextChunk()
{
    uint8_t header[8];
    stream_->ReadBuffer(header, sizeof header);
    chunkLength_ = BE32(header);
    chunkType_ = BE32(header + 4);
    // The length is checked before anything is allocated for it.
    if (chunkLength_ > kMaxChunkLength || chunkLength_ > stream_->Size() - stream_->Position())
        throw EInvalidGraphic(kInvalidFormat);
    crc_ = UpdateCRC32(0xFFFFFFFF, header + 4, 4);
}

void TPNGDecoder::LoadChunkData()
{
    if (chunkCapacity_ < chunkLength_) {
        chunkBuffer_.reset();
        chunkBuffer_.reset(new uint8_t[chunkLength_]);
        chunkCapacity_ = chunkLength_;
    }
    if (chunkLength_ > 0) stream_->ReadBuffer(chunkBuffer_.get(), chunkLength_);
    uint8_t stored[4];
    stream_->ReadBuffer(stored, sizeof stored);
    uint32_t crc = UpdateCRC32(crc_, chunkBuffer_.get(), chunkLength_) ^ 0xFFFFFFFF;
    if (crc != BE32(stored)) throw EInvalidGraphic(kBadCRC);
}

void TPNGDecoder::SkipChunk() { stream_->Seek(static_cast<int64_t>(chunkLength_) + 4, soCurrent); }

// Chunk names match whatever the case of their letters.
bool TPNGDecoder::ChunkIs(uint32_t name) const { return (chunkType_ & 0xDFDFDFDF) == (name & 0xDFDFDFDF); }

// A chunk that is not handled: IEND ends loading (true), an ancillary chunk is skipped, a
// critical one fails.
bool TPNGDecoder::EndOrSkip()
{
    if (ChunkIs(kIEND)) {
        SkipChunk();
        return true;
    }
    if (!(chunkType_ & 0x20000000)) throw EInvalidGraphic(kCriticalChunk);
    SkipChunk();
    return false;
}

// ---- Header

void TPNGDecoder::ReadHeaderFields()
{
    const uint8_t* d = chunkBuffer_.get();
    properties_.Flags |= TPNGImageProperties::HeaderRead;
    properties_.Width = BE32(d);
    properties_.Height = BE32(d + 4);
    uint8_t depth = d[8];
    colorType_ = d[9];
    properties_.Compression = d[10] == 0 ? pcDeflate : pcUnknown;
    properties_.FilterMode = d[11];
    interlaceMethod_ = d[12];
    properties_.BitsPerSample = depth;
    switch (colorType_) {
    case 0:
        properties_.ColorScheme = csGrey;
        properties_.SamplesPerPixel = 1;
        break;
    case 2:
        properties_.ColorScheme = csRGB;
        properties_.SamplesPerPixel = 3;
        break;
    case 3:
        properties_.ColorScheme = csIndexed;
        properties_.SamplesPerPixel = 1;
        break;
    case 4:
        properties_.ColorScheme = csGreyAlpha;
        properties_.SamplesPerPixel = 1;
        break;
    case 6:
        properties_.ColorScheme = csRGBA;
        properties_.SamplesPerPixel = 4;
        break;
    default:
        properties_.ColorScheme = csUnknown;
        properties_.SamplesPerPixel = 1;
        break;
    }
    properties_.BitsPerPixel = static_cast<uint8_t>(properties_.SamplesPerPixel * depth);
    properties_.Interlaced = interlaceMethod_ != 0;
    properties_.HasAlpha = colorType_ == 4 || colorType_ == 6;
}

// False (no exception) for a wrong signature or IHDR or a size out of range. A broken IHDR
// CRC raises the CRC error.
bool TPNGDecoder::ProbeHeader()
{
    properties_ = TPNGImageProperties{};
    uint8_t signature[8];
    if (stream_->Read(signature, sizeof signature) != sizeof signature ||
        std::memcmp(signature, kSignature, sizeof signature) != 0)
        return false;
    uint8_t header[8];
    if (stream_->Read(header, sizeof header) != sizeof header) return false;
    chunkLength_ = BE32(header);
    chunkType_ = BE32(header + 4);
    if (!ChunkIs(kIHDR) || chunkLength_ != 13) return false;
    crc_ = UpdateCRC32(0xFFFFFFFF, header + 4, 4);
    LoadChunkData();
    ReadHeaderFields();
    const uint32_t w = properties_.Width, h = properties_.Height;
    if (w == 0 || h == 0 || w > MaxSide || h > MaxSide) return false;
    // The file gamma, for the properties; the scan stops at anything unexpected.
    for (;;) {
        if (stream_->Read(header, sizeof header) != sizeof header) break;
        chunkLength_ = BE32(header);
        chunkType_ = BE32(header + 4);
        if (ChunkIs(kIEND) || chunkLength_ > kMaxChunkLength || chunkLength_ > stream_->Size() - stream_->Position())
            break;
        if (ChunkIs(kgAMA)) {
            uint8_t value[4];
            if (chunkLength_ >= 4 && stream_->Read(value, 4) == 4)
                properties_.Gamma = static_cast<float>(BE32(value) / 100000.0);
            break;
        }
        SkipChunk();
    }
    return true;
}

// ---- Loading

void TPNGDecoder::LoadFromStream(TStream& stream)
{
    stream_ = &stream;
    cm_.ResetForImage();
    formatChosen_ = false;
    inflater_.reset();
    const int64_t start = stream.Position();
    if (!ProbeHeader()) throw EInvalidGraphic(kInvalidFormat);
    stream.SetPosition(start + 8);
    progressRect_ = TRect{0, 0, static_cast<int32_t>(properties_.Width), 1};
    target_.Progress(psStarting, 0, false, progressRect_, "Preparing...");
    try {
        palette_.reset();
        background_ = 0xFFFFFF;
        transparent_ = kPNGNoColor;
        NextChunk();
        LoadChunkData();
        cm_.SourceOptions = TColorManager::TSourceFlags{false, true};
        if (properties_.Compression != pcDeflate) throw EInvalidGraphic(kCompressionScheme);
        inflater_ = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
        inflater_->Start();
        bool decoded = false;
        for (;;) {
            NextChunk();
            if (ChunkIs(kIDAT)) {
                // The image data are one run of IDAT chunks.
                if (decoded) throw EInvalidGraphic(kCriticalChunk);
                decoded = true;
                target_.Progress(psEnding, 0, false, progressRect_, "");
                DecodeImageData();
                // The chunk after the image data is not interpreted.
                if (EndOrSkip()) break;
            } else if (ChunkIs(kPLTE)) {
                TakePalette();
            } else if (ChunkIs(kgAMA)) {
                TakeGamma();
            } else if (ChunkIs(kbKGD)) {
                TakeBackground();
            } else if (ChunkIs(ktRNS)) {
                TakeTransparency();
            } else if (EndOrSkip()) {
                break;
            }
        }
        if (!decoded) throw EInvalidGraphic(kInvalidFormat);
    } catch (...) {
        Finish();
        try {
            target_.Progress(psEnding, 0, false, progressRect_, "");
        } catch (...) {
        }
        throw;
    }
    Finish();
    target_.Progress(psEnding, 0, false, progressRect_, "");
}

// Ends the inflater and frees the buffers on every path; raises nothing.
void TPNGDecoder::Finish() noexcept
{
    if (inflater_) {
        try {
            inflater_->Finish();
        } catch (...) {
        }
        inflater_.reset();
    }
    chunkBuffer_.reset();
    chunkCapacity_ = 0;
    block_.reset();
    zeros_.reset();
    priorCopy_.reset();
    capacity_ = begin_ = end_ = totalLeft_ = 0;
    readPos_ = nullptr;
    idatLeft_ = 0;
}

void TPNGDecoder::TakePalette()
{
    if (chunkLength_ % 3 != 0) throw EInvalidGraphic(kBadPalette);
    LoadChunkData();
    if (colorType_ != 3) return;
    bytesPerPixel_ = ChooseOutputFormat();
    palette_ = cm_.BuildPalette(chunkBuffer_.get(), plTriples8,
                                static_cast<int>(std::min<uint32_t>(chunkLength_ / 3, 256)), false);
}

void TPNGDecoder::TakeGamma()
{
    LoadChunkData();
    if (chunkLength_ < 4) return;
    cm_.SetGammaPair(static_cast<float>(BE32(chunkBuffer_.get()) / 100000.0), 2.2f);
    cm_.TargetOptions.ApplyGamma = true;
    properties_.Flags |= TPNGImageProperties::GammaApplied;
}

uint16_t TPNGDecoder::ScaleGrey(uint32_t v) const
{
    switch (properties_.BitsPerSample) {
    case 2:
        return static_cast<uint16_t>(v * 15u / 3u);
    case 16:
        return static_cast<uint16_t>(Scale16(v));
    default:
        return static_cast<uint16_t>(v);
    }
}

void TPNGDecoder::TakeTransparency()
{
    LoadChunkData();
    const uint8_t* d = chunkBuffer_.get();
    bool wide = properties_.BitsPerSample == 16;
    if (colorType_ == 0 && chunkLength_ >= 2) {
        uint32_t v = ScaleGrey(BE16(d));
        transparent_ = RGBColor(v, v, v);
    } else if (colorType_ == 2 && chunkLength_ >= 6) {
        uint32_t r = BE16(d), g = BE16(d + 2), b = BE16(d + 4);
        transparent_ = wide ? RGBColor(Scale16(r), Scale16(g), Scale16(b)) : RGBColor(r, g, b);
    }
}

void TPNGDecoder::TakeBackground()
{
    LoadChunkData();
    const uint8_t* d = chunkBuffer_.get();
    bool wide = properties_.BitsPerSample == 16;
    if ((colorType_ == 2 || colorType_ == 6) && chunkLength_ >= 6) {
        uint32_t r = BE16(d), g = BE16(d + 2), b = BE16(d + 4);
        background_ = wide ? RGBColor(Scale16(r), Scale16(g), Scale16(b)) : RGBColor(r, g, b);
    } else if ((colorType_ == 0 || colorType_ == 4) && chunkLength_ >= 2) {
        uint32_t v = ScaleGrey(BE16(d));
        background_ = RGBColor(v, v, v);
    } else if (colorType_ == 3 && chunkLength_ >= 1 && palette_ && d[0] < palette_->Entries.size()) {
        // A palette index: the background is that palette colour.
        const TPaletteEntry& e = palette_->Entries[d[0]];
        background_ = RGBColor(e.Red, e.Green, e.Blue);
    }
}

// Sets up the colour manager for the colour type and depth and returns the bytes per complete
// pixel (at least 1) that the filters use.
int TPNGDecoder::ChooseOutputFormat()
{
    const int depth = properties_.BitsPerSample;
    auto depthIn = [depth](std::initializer_list<int> allowed) {
        return std::find(allowed.begin(), allowed.end(), depth) != allowed.end();
    };
    TColorScheme source = csUnknown, target = csUnknown;
    int sourceSamples = 1, targetSamples = 1, targetBits = 8, bytesPerPixel = 1;
    bool greyRamp = false;
    switch (colorType_) {
    case 0:
        if (!depthIn({1, 2, 4, 8, 16})) throw EInvalidGraphic(kBadColorFormat);
        source = target = csGrey;
        targetBits = depth == 2 ? 4 : depth == 16 ? 8 : depth;
        greyRamp = true;
        bytesPerPixel = (depth + 7) / 8;
        break;
    case 2:
        if (!depthIn({8, 16})) throw EInvalidGraphic(kBadColorFormat);
        source = csRGB;
        target = csBGR;
        sourceSamples = targetSamples = 3;
        bytesPerPixel = depth * 3 / 8;
        break;
    case 3:
        if (!depthIn({1, 2, 4, 8})) throw EInvalidGraphic(kBadColorFormat);
        source = target = csIndexed;
        targetBits = depth == 2 ? 4 : depth;
        break;
    case 4:
        if (!depthIn({8, 16})) throw EInvalidGraphic(kBadColorFormat);
        source = csGreyAlpha;
        target = csIndexed;
        greyRamp = true;
        bytesPerPixel = depth * 2 / 8;
        break;
    case 6:
        if (!depthIn({8, 16})) throw EInvalidGraphic(kBadColorFormat);
        source = csRGBA;
        target = csBGRA;
        sourceSamples = targetSamples = 4;
        bytesPerPixel = depth * 4 / 8;
        break;
    default:
        throw EInvalidGraphic(kBadColorFormat);
    }
    cm_.SetSourceColorScheme(source);
    cm_.SetSourceBitsPerSample(depth);
    cm_.SetSourceSamplesPerPixel(sourceSamples);
    cm_.SetTargetColorScheme(target);
    cm_.SetTargetBitsPerSample(targetBits);
    cm_.SetTargetSamplesPerPixel(targetSamples);
    cm_.SourceOptions.HasAlpha = source == csGreyAlpha || source == csRGBA;
    cm_.TargetOptions.HasAlpha = target == csBGRA;
    if (greyRamp) palette_ = cm_.BuildGreyPalette(false);
    format_ = cm_.OutputPixelFormat();
    formatChosen_ = true;
    return bytesPerPixel;
}

// ---- Image data

void TPNGDecoder::DecodeImageData()
{
    target_.Progress(psStarting, 0, false, progressRect_, "Transfering...");
    if (!formatChosen_) bytesPerPixel_ = ChooseOutputFormat();
    const uint64_t w = properties_.Width, h = properties_.Height;
    const uint64_t stride = (w * static_cast<uint64_t>(FormatBits(format_)) + 31) / 32 * 4;
    if (stride * h > MaxImageBytes) throw EInvalidGraphic(kInvalidFormat);
    TvxScanLines lines =
        target_.SetImage(format_, palette_ ? &*palette_ : nullptr, static_cast<int>(w), static_cast<int>(h));
    if (interlaceMethod_ == 1) target_.FillBackground(background_, 0, static_cast<int>(h));
    if (transparent_ != kPNGNoColor) target_.SetTransparentColor(transparent_);
    DecodeRows(lines);
    // IDAT chunks after the last row are read and tested, not inflated.
    while (ChunkIs(kIDAT)) {
        LoadChunkData();
        NextChunk();
    }
    block_.reset();
    zeros_.reset();
    priorCopy_.reset();
}

void TPNGDecoder::DecodeRows(const TvxScanLines& lines)
{
    const uint32_t w = properties_.Width, h = properties_.Height;
    const uint64_t depth = properties_.BitsPerSample;
    const uint64_t f = depth == 16 ? static_cast<uint64_t>(bytesPerPixel_) / 2 : static_cast<uint64_t>(bytesPerPixel_);
    // Row bytes, the filter type byte included.
    auto rowSize = [&](uint64_t width) { return static_cast<size_t>((width * depth + 7) / 8 * f + 1); };
    const bool adam7 = interlaceMethod_ == 1;
    uint64_t total = 0;
    size_t largest = 0;
    if (adam7) {
        for (const TPass& p : kAdam7) {
            if (w <= p.FirstColumn || h <= p.FirstRow) continue;
            size_t n = rowSize((w + p.ColumnStep - 1 - p.FirstColumn) / p.ColumnStep);
            total += static_cast<uint64_t>(n) * ((h - p.FirstRow + p.RowStep - 1) / p.RowStep);
            largest = std::max(largest, n);
        }
    } else {
        largest = rowSize(w);
        total = static_cast<uint64_t>(largest) * h;
    }
    capacity_ = static_cast<size_t>(std::min<uint64_t>(total, std::max<uint64_t>(kBlockSize, 2 * largest)));
    block_.reset(new uint8_t[capacity_]);
    zeros_.reset(new uint8_t[largest]());
    priorCopy_.reset(new uint8_t[largest]);
    begin_ = end_ = 0;
    totalLeft_ = static_cast<size_t>(total);

    if (!adam7) {
        const size_t n = largest;
        const uint8_t* prior = zeros_.get();
        for (uint32_t y = 0; y < h; ++y) {
            uint8_t* row = NextRow(n, prior);
            if (!row) {
                // The image data stopped: the rest keeps the background.
                target_.FillBackground(background_, static_cast<int>(y), static_cast<int>(h));
                return;
            }
            UnfilterRow(row[0], row + 1, prior + 1, n - 1, bytesPerPixel_);
            const void* planes[] = {row + 1};
            cm_.ConvertLine(planes, lines.Row(static_cast<int>(y)), static_cast<int>(w), 0xFF);
            prior = row;
            SendRowProgress(y);
        }
        return;
    }
    for (int pass = 0; pass < 7; ++pass) {
        const TPass& p = kAdam7[pass];
        if (w <= p.FirstColumn) continue;
        const size_t n = rowSize((w + p.ColumnStep - 1 - p.FirstColumn) / p.ColumnStep);
        const uint8_t* prior = zeros_.get();
        for (uint32_t y = p.FirstRow; y < h; y += p.RowStep) {
            uint8_t* row = NextRow(n, prior);
            if (!row) return;
            UnfilterRow(row[0], row + 1, prior + 1, n - 1, bytesPerPixel_);
            const void* planes[] = {row + 1};
            cm_.ConvertLine(planes, lines.Row(static_cast<int>(y)), static_cast<int>(w), p.Mask);
            prior = row;
            if (pass == 6) SendRowProgress(y);
        }
    }
}

void TPNGDecoder::SendRowProgress(uint32_t y)
{
    const uint64_t h = properties_.Height;
    int percent = static_cast<int>((static_cast<uint64_t>(y) * 200 + h) / (2 * h));
    target_.Progress(psRunning, percent, true, progressRect_, "");
    ++progressRect_.Top;
    ++progressRect_.Bottom;
}

// The next size bytes of inflated image data, or none when the IDAT chunks ran out. prior, the
// row above, is moved aside when the block is compacted.
uint8_t* TPNGDecoder::NextRow(size_t size, const uint8_t*& prior)
{
    while (end_ - begin_ < size) {
        if (begin_ + size > capacity_) {
            uint8_t* block = block_.get();
            const auto at = reinterpret_cast<uintptr_t>(prior), first = reinterpret_cast<uintptr_t>(block);
            if (at >= first && at < first + capacity_) {
                std::memcpy(priorCopy_.get(), prior, size);
                prior = priorCopy_.get();
            }
            std::memmove(block, block + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
        }
        if (idatLeft_ == 0 && !LoadNextIDAT()) return nullptr;
        // Never more than the image needs: what follows the last row is not inflated.
        uint8_t* dest = block_.get() + end_;
        const uint8_t* source = readPos_;
        inflater_->Inflate(source, dest, idatLeft_, std::min(capacity_ - end_, totalLeft_));
        const size_t produced = static_cast<size_t>(dest - (block_.get() + end_));
        idatLeft_ -= static_cast<size_t>(source - readPos_);
        readPos_ = source;
        end_ += produced;
        totalLeft_ -= produced;
        const int result = inflater_->LastResult();
        if (result == Z_STREAM_END) {
            // The zlib stream ends: the image must be complete, and its chunk used up.
            if (totalLeft_ > 0 || idatLeft_ > 0) throw EInvalidGraphic(kExtraData);
        } else if (result != Z_OK) {
            throw EInvalidGraphic(kCompressionError);
        }
    }
    uint8_t* row = block_.get() + begin_;
    begin_ += size;
    return row;
}

// Loads the next IDAT chunk with data as the inflater's input (chunks of length 0 are passed
// over); false when the current chunk is no IDAT.
bool TPNGDecoder::LoadNextIDAT()
{
    while (ChunkIs(kIDAT)) {
        LoadChunkData();
        const uint32_t length = chunkLength_;
        NextChunk();
        if (length > 0) {
            readPos_ = chunkBuffer_.get();
            idatLeft_ = length;
            return true;
        }
    }
    return false;
}
