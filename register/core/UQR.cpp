#include "register/core/UQR.h"

#include "qr/QRLib.h"
#include "register/core/UQrLink.h"
#include "register/core/URegisterCore.h"

namespace UQR {

bool AddQrData(const void* bytes, std::size_t count) { return RegisterCore().QrPayload().Add(bytes, count); }

void ClearQrData() { RegisterCore().QrPayload().Clear(); }

void FilterQrData() { RegisterCore().QrPayload().Filter(); }

void BuildVerifyUrl(std::string& url)
{
    TRegisterCore& core = RegisterCore();
    TQrPayload& payload = core.QrPayload();
    payload.Filter();
    core.VerifyUrl() =
        UQrLink::VerifyUrlOf(std::string_view(reinterpret_cast<const char*>(payload.Data()), payload.Size()));
    url = core.VerifyUrl();
    payload.Clear();
}

const std::string& GetVerifyUrl() { return RegisterCore().VerifyUrl(); }

bool QrSymbolOf(const std::string& text, TQrSymbol& symbol)
{
    symbol = TQrSymbol{};
    if (text.empty()) return false;
    CalculateQR(text.c_str());
    std::int32_t size = 0;
    const std::uint8_t* modules = GetQR(&size);
    if (!modules || size < 1 || size > MaxSymbolSize) return false;
    symbol.size = size;
    symbol.modules.assign(modules, modules + static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    return true;
}

} // namespace UQR
