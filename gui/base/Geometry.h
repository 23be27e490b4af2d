// Rectangles and points of the class library, platform-free: left, top, right and bottom
// (signed 32-bit each, right and bottom outside), as Win32's RECT and POINT lay them out.
#pragma once

#include <cstdint>

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;
};
