// The Adler-32 check of zlib streams (RFC 1950): two sums modulo 65521, s1 of the bytes (plus
// one) and s2 of the running s1, stored as s2 x 65536 + s1. The PNG decoder's inflater checks
// the image data with it, 16 bytes at a time where the processor has SSE2. Platform-free.
//
//   UpdateAdler32(1, "Wikipedia", 9) == 0x11E60398
#pragma once

#include <cstddef>
#include <cstdint>

// Continues the check over size bytes; start with 1.
uint32_t UpdateAdler32(uint32_t adler, const void* data, size_t size);
