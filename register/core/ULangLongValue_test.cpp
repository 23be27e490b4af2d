// Language texts longer than a first read of 1023 characters takes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "register/core/ULang.h"

namespace {

// A text of n characters that shows where it was cut.
std::string LongText(std::size_t n)
{
    std::string text;
    for (std::size_t i = 0; text.size() < n; ++i)
        text += std::to_string(i % 10);
    return text;
}

} // namespace

TEST(LangLongValue, ValuesOfAnyLengthComeBackWhole)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "tillora_long_values_lang.ini";
    const std::size_t lengths[] = {1022, 1023, 1024, 1500, 2047, 2048, 5000};
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "[English]\r\n";
        for (const std::size_t n : lengths)
            out << n << "txt=" << LongText(n) << "\r\n";
        out << "7txt=kurz\r\n";
    }
    const ULang::TLangFile file(path);
    for (const std::size_t n : lengths)
        EXPECT_EQ(file.Value("English", std::to_string(n) + "txt"), LongText(n)) << n;
    EXPECT_EQ(file.Value("English", "7txt"), "kurz");
    std::remove(path.c_str());
}
