#include "register/ui/UCardCheck.h"

#include <cstdio>

bool IsCardVersionAccepted(const std::string& version, const std::string& accepted)
{
    if (accepted.find("v" + version + ";") != std::string::npos) return true;
    if (version.empty()) return false;
    const size_t dot = version.rfind('.');
    if (dot == std::string::npos) return false;
    return accepted.find("v" + version.substr(0, dot + 1) + ";") != std::string::npos;
}

std::string PinDataText(const std::string& pin)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "C3 0  ";
    for (size_t i = 0; i < pin.size() && i < 15; ++i) {
        text[4] = digits[i + 1];
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X ", static_cast<unsigned char>(pin[i]));
        text += hex;
    }
    return text;
}
