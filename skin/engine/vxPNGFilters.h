// The row filters of PNG image data, undone in place. A row is the bytes after its filter
// byte; bpp (1..8) is the distance to the byte of the same sample in the pixel to the left
// (bytes per complete pixel, at least 1), and the first pixel has no left neighbour (0). The
// prior row is the unfiltered row above, all zeros for the first row of an image or of an
// interlace pass. All additions are modulo 256:
//   0 None     leaves the bytes
//   1 Sub      x += left
//   2 Up       x += above
//   3 Average  x += (left + above) div 2
//   4 Paeth    x += PaethPredict(left, above, upper left)
// A filter type above 4 leaves the row unchanged. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>

// With p = a + b - c: a when |p - a| <= |p - b| and |p - a| <= |p - c|, else b when
// |p - b| <= |p - c|, else c. PaethPredict(10, 20, 15) = 15 (p = 15).
uint8_t PaethPredict(uint8_t a, uint8_t b, uint8_t c);

void UnfilterRow(int filterType, uint8_t* row, const uint8_t* prior, size_t size, int bpp);
