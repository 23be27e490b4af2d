#include "register/core/UQR.h"

#include "register/core/URegisterCore.h"

namespace UQR {

bool AddQrData(const void* bytes, std::size_t count) { return RegisterCore().QrPayload().Add(bytes, count); }

void ClearQrData() { RegisterCore().QrPayload().Clear(); }

} // namespace UQR
