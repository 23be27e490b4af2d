// The CRC-32 of PNG chunks and zlib streams: reflected polynomial 0xEDB88320, register preset
// to all ones, result inverted. The table is module data of the PNG decoder, built on the
// first use and freed by the decoder's end step; the engine uses it on the GUI thread only.
//
//   uint32_t crc = UpdateCRC32(0xFFFFFFFF, "IEND", 4) ^ 0xFFFFFFFF; // 0xAE426082
#pragma once

#include <cstddef>
#include <cstdint>

// The reflected polynomial from its exponents 0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26
// (bit 31 - e set for each exponent e): 0xEDB88320.
uint32_t CRCPolynomial();
// Continues the register over size bytes (8 at a time, runs of 6 KiB in three lanes side by
// side, then the rest byte by byte) and returns it; start with 0xFFFFFFFF and invert the final
// value.
uint32_t UpdateCRC32(uint32_t crc, const void* data, size_t size);
// Frees the table (the next UpdateCRC32 builds it again).
void FreeCRCTable();
// Whether the table is built (for the end step's test).
bool CRCTableBuilt();
