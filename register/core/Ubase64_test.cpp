#include <gtest/gtest.h>

#include <string>

#include "gui/base/SysUtils.h"
#include "register/core/Ubase64.h"

using namespace Ubase64;

TEST(Encodings, Rfc4648Vectors)
{
    struct Row {
        const char* bytes;
        const char* base64;
        const char* base32;
    };
    const Row rows[] = {
        {"", "", ""},
        {"f", "Zg==", "MY======"},
        {"fo", "Zm8=", "MZXQ===="},
        {"foo", "Zm9v", "MZXW6==="},
        {"foob", "Zm9vYg==", "MZXW6YQ="},
        {"fooba", "Zm9vYmE=", "MZXW6YTB"},
        {"foobar", "Zm9vYmFy", "MZXW6YTBOI======"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Base64EncodeText(r.bytes), r.base64) << r.bytes;
        EXPECT_EQ(Base32EncodeText(r.bytes), r.base32) << r.bytes;
    }
    EXPECT_EQ(Base64EncodeText(std::string("\x00\x00\x00", 3)), "AAAA");
    EXPECT_EQ(Base32EncodeText(std::string("\x01", 1)), "AE======");
    EXPECT_EQ(Base32EncodeText(std::string(5, '\xFF')), "77777777");
}

TEST(Base64, UrlFormReplacesPlusAndSlashAndKeepsPadding)
{
    const std::string bytes("\xFB\xEF\xFF\x3E", 4);
    EXPECT_EQ(Base64EncodeText(bytes), "++//Pg==");
    EXPECT_EQ(Base64UrlEncodeText(bytes), "--__Pg==");
    EXPECT_EQ(Base64UrlEncodeText(""), "");
}

TEST(Base32, HashAndSignatureLengths)
{
    EXPECT_EQ(Base32EncodeText(std::string(20, '\x5A')).size(), 32u);
    EXPECT_EQ(Base32EncodeText(std::string(48, '\x5A')).size(), 80u);
    EXPECT_EQ(Base64EncodeText(std::string(20, 'x')).size(), 28u);
}

TEST(BufferForms, CountTheCharactersAndRefuseTooSmallBuffers)
{
    char out[8] = {};
    EXPECT_EQ(Base32Encode("\x01", 1, out, sizeof out), 8u);
    EXPECT_EQ(std::string(out, 8), "AE======");
    EXPECT_EQ(Base64Encode("foo", 3, out, 4), 4u);
    EXPECT_EQ(std::string(out, 4), "Zm9v");
    EXPECT_EQ(Base64Encode(nullptr, 0, out, 0), 0u);
    EXPECT_THROW(Base64Encode("foob", 4, out, sizeof out - 1), Exception);
    EXPECT_THROW(Base32Encode("foobar", 6, out, sizeof out), Exception);
}
