// The QR payload of the verification link: the journal writers append the request's data
// field and the card's response, the command reset empties it. The payload lives in the core
// (URegisterCore.h, a TQrPayload of 1024 bytes).
#pragma once

#include <cstddef>

namespace UQR {

// Appends count bytes at the end of the payload. An append that would pass the 1024 bytes is
// refused whole: false, nothing written.
bool AddQrData(const void* bytes, std::size_t count);

// Payload length 0.
void ClearQrData();

} // namespace UQR
