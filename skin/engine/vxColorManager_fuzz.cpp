// Fuzz target: the colour manager with any settings converting any row. The first bytes choose
// the settings; the rest is the source row. Conversions either work within the buffers sized
// for the widest pixels (8 bytes) or fail with the manager's own errors.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "skin/engine/vxColorManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 10) return 0;
    TColorManager cm;
    try {
        cm.SetSourceColorScheme(static_cast<TColorScheme>(data[0] % 8));
        cm.SetTargetColorScheme(static_cast<TColorScheme>(data[1] % 8));
        cm.SetSourceBitsPerSample(data[2] % 18);
        cm.SetTargetBitsPerSample(data[3] % 18);
        cm.SetSourceSamplesPerPixel(data[4] % 6);
        cm.SetTargetSamplesPerPixel(data[5] % 6);
    } catch (const EColorConversionError&) {
    }
    cm.SourceOptions.SwapBytes = data[6] & 1;
    cm.TargetOptions.ApplyGamma = data[6] & 2;
    if (data[6] & 4) cm.SetGammaPair(static_cast<float>(data[6] >> 3) / 8.0f - 0.5f, 2.2f);
    uint8_t mask = data[7];
    int count = data[8] % 65;
    std::vector<uint8_t> source(static_cast<size_t>(count) * 8 + 8, 0), target(static_cast<size_t>(count) * 8 + 8, 0);
    std::memcpy(source.data(), data + 9, std::min(size - 9, source.size()));
    const void* planes[] = {source.data()};
    try {
        cm.ConvertLine(planes, target.data(), count, mask);
    } catch (const EColorConversionError&) {
    }
    cm.BuildGreyPalette(data[6] & 8);
    cm.BuildPalette(source.data(), data[7] & 1 ? plQuads8 : plTriples8, count, data[7] & 2);
    cm.OutputPixelFormat();
    return 0;
}
