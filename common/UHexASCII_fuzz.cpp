// Fuzz target of the hex text routines: any input is read as hex text and as bytes. Reading
// never fails, the written form of any bytes reads back to the same bytes, and RemoveBlanks
// takes out exactly the blanks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/UHexASCII.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string bytes = UHexASCII::HexTextToBytes(input);
    if (bytes.size() > input.size()) std::abort();

    const std::string text = UHexASCII::BytesToHexText(input);
    if (text.size() != (input.empty() ? 0 : input.size() * 3 - 1)) std::abort();
    if (UHexASCII::HexTextToBytes(text) != input) std::abort();

    const std::string packed = UHexASCII::RemoveBlanks(input);
    std::size_t blanks = 0;
    for (char c : input)
        blanks += c == ' ';
    if (packed.size() != input.size() - blanks || packed.find(' ') != std::string::npos) std::abort();
    return 0;
}
