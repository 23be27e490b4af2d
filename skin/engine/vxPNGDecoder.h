// The PNG decoder's core, without windows: it reads one PNG image from a stream (signature,
// chunks with their CRC-32, zlib image data, the five row filters, Adam7) and writes its rows,
// converted by the colour manager, into the rows that a target gives it. TPNGGraphic (vxPNG.h)
// is its target on the class library's bitmaps; tests and benchmarks use rows in memory.
//
// The bitmap an image becomes, by colour type and bit depth (anything else raises "Invalid
// color format in PNG file."):
//   0 grey            1, 2, 4, 8, 16  pf1bit, pf4bit (depth 2 and 4) or pf8bit with a grey ramp;
//                                     depth 2 shows 0, 5, 10, 15 of 16 greys, depth 16 v x 255 div 65535
//   2 RGB             8, 16           pf24bit (blue, green, red)
//   3 indexed         1, 2, 4, 8      pf1bit, pf4bit (depth 2 and 4) or pf8bit with the PLTE colours
//   4 grey with alpha 8, 16           pf8bit with a grey ramp; the alpha is dropped
//   6 RGBA            8, 16           pf32bit (blue, green, red, alpha; straight, not premultiplied)
// A gAMA chunk makes the colour manager correct palette entries and RGB samples with
// (v / 255) ^ (1 / (gamma x 2.2)). tRNS of grey and RGB images gives the transparent colour,
// bKGD the background that fills what the image data do not reach.
//
// Errors are EInvalidGraphic with these texts (EStreamError for a stream that ends early):
//   "Cannot load image. Invalid or unexpected PNG image format."  signature, IHDR (13 bytes),
//       width or height 0 or above MaxSide, a bitmap above MaxImageBytes, a chunk length above
//       2^31 - 1 or beyond the stream's end, no IDAT
//   "Cannot load image. The compression scheme is not supported for PNG files."
//   "Cannot load image. Palette in PNG file is invalid."          PLTE length not a multiple of 3
//   "Invalid color format in PNG file."
//   "Cannot load image. CRC error found in PNG file."             every chunk that is read
//   "Cannot load PNG image. Unexpected but critical chunk detected."  an unknown critical chunk,
//       a critical chunk other than IEND right after the image data, a second run of IDAT
//   "Cannot load image. Compression error found in PNG file."
//   "Cannot load image. Extra compressed data found in PNG file."  the zlib stream ends before
//       the image is complete, or with bytes of its chunk left
// and EGraphicCompression "LZ77 decompression error." when zlib cannot start. Image data that
// simply stop (no further IDAT) are not an error: the rows not reached keep the background.
//
//   TColorManager cm;
//   TMyRows rows;                        // a TPNGTarget
//   TPNGDecoder(cm, rows).LoadFromStream(stream);
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "gui/base/Geometry.h"
#include "gui/base/PixelFormat.h"
#include "gui/base/Progress.h"
#include "gui/base/StreamBase.h"
#include "skin/engine/vxColorManager.h"
#include "skin/engine/vxFastBitmaps.h"

class TLZ77Decoder;

// No colour (transparent colour not set).
constexpr TColor kPNGNoColor = 0x1FFFFFFF;

enum TPNGCompression : uint8_t { pcUnknown, pcDeflate };

// What the header of the last image said.
struct TPNGImageProperties {
    enum : uint8_t { HeaderRead = 1, GammaApplied = 2 };
    uint8_t Flags = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
    TColorScheme ColorScheme = csUnknown; // csIndexed, csGrey, csGreyAlpha, csRGB, csRGBA or csUnknown
    uint8_t BitsPerSample = 0;            // the IHDR bit depth
    uint8_t SamplesPerPixel = 0;          // 1, 3 (RGB) or 4 (RGBA); grey with alpha records 1
    uint8_t BitsPerPixel = 0;
    TPNGCompression Compression = pcUnknown;
    float Gamma = 1.0f; // gAMA / 100000
    bool Interlaced = false;
    bool HasAlpha = false;
    uint8_t FilterMode = 0;
};

// Where the decoded image goes.
class TPNGTarget {
public:
    virtual ~TPNGTarget() = default;
    // The image's bitmap: its format (pf1bit, pf4bit, pf8bit, pf24bit or pf32bit), palette (for
    // the palette formats; none when the file gave none) and size. Returns its rows; their
    // contents may be anything, the decoder writes every pixel or fills it.
    virtual TvxScanLines SetImage(TPixelFormat format, const TLogPalette* palette, int width, int height) = 0;
    // Rows top .. bottom - 1 in the background colour (0x00BBGGRR).
    virtual void FillBackground(TColor color, int top, int bottom) = 0;
    // The transparent colour from tRNS (grey and RGB images); transparency on.
    virtual void SetTransparentColor(TColor color) = 0;
    // One progress notification: starting "Preparing...", ending at the first IDAT, starting
    // "Transfering...", running once per row (interlaced: per row of the last pass) with the
    // rows done as a band, ending.
    virtual void Progress(TProgressStage stage, int percent, bool redrawNow, const TRect& rect,
                          const std::string& message) = 0;
};

class TPNGDecoder {
public:
    static constexpr uint32_t MaxSide = 32768;            // pixels per side at most
    static constexpr uint64_t MaxImageBytes = 256u << 20; // bytes of the bitmap at most

    TPNGDecoder(TColorManager& colorManager, TPNGTarget& target);
    ~TPNGDecoder();
    TPNGDecoder(const TPNGDecoder&) = delete;
    TPNGDecoder& operator=(const TPNGDecoder&) = delete;

    // Decodes the image that starts at the stream's position; on success the stream stands after
    // the IEND chunk. The colour manager is reset first.
    void LoadFromStream(TStream& stream);

    const TPNGImageProperties& ImageProperties() const { return properties_; }
    TColor BackgroundColor() const { return background_; }
    TColor TransparentColor() const { return transparent_; }

private:
    bool ProbeHeader();
    void ReadHeaderFields();
    void NextChunk();
    void LoadChunkData();
    void SkipChunk();
    bool ChunkIs(uint32_t name) const;
    bool EndOrSkip();
    void TakePalette();
    void TakeGamma();
    void TakeTransparency();
    void TakeBackground();
    int ChooseOutputFormat();
    void DecodeImageData();
    void DecodeRows(const TvxScanLines& lines);
    uint8_t* NextRow(size_t size, const uint8_t*& prior);
    bool LoadNextIDAT();
    void SendRowProgress(uint32_t y);
    void Finish() noexcept;
    uint16_t ScaleGrey(uint32_t v) const;

    TColorManager& cm_;
    TPNGTarget& target_;
    TStream* stream_ = nullptr;
    TPNGImageProperties properties_;
    uint8_t colorType_ = 0;
    uint8_t interlaceMethod_ = 0;
    TRect progressRect_;
    std::unique_ptr<TLZ77Decoder> inflater_;
    // The chunk just read: its length, type (big-endian), running CRC and data.
    uint32_t chunkLength_ = 0;
    uint32_t chunkType_ = 0;
    uint32_t crc_ = 0;
    std::unique_ptr<uint8_t[]> chunkBuffer_;
    size_t chunkCapacity_ = 0;
    // Image data not yet inflated: the rest of the IDAT chunk in the chunk buffer.
    const uint8_t* readPos_ = nullptr;
    size_t idatLeft_ = 0;
    // Inflated rows not yet used, block_[begin_ .. end_); totalLeft_ bytes still to inflate.
    std::unique_ptr<uint8_t[]> block_;
    size_t capacity_ = 0, begin_ = 0, end_ = 0, totalLeft_ = 0;
    std::unique_ptr<uint8_t[]> zeros_, priorCopy_;
    int bytesPerPixel_ = 1;
    bool formatChosen_ = false;
    TPixelFormat format_ = pf24bit;
    std::optional<TLogPalette> palette_;
    TColor transparent_ = kPNGNoColor;
    TColor background_ = 0xFFFFFF;
};
