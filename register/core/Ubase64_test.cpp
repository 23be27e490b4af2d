#include <gtest/gtest.h>

#include <string>

#include "SysUtils.h"
#include "Ubase64.h"

using namespace Ubase64;

TEST(Base64, Rfc4648Vectors)
{
    EXPECT_EQ(Base64EncodeText(""), "");
    EXPECT_EQ(Base64EncodeText("f"), "Zg==");
    EXPECT_EQ(Base64EncodeText("fo"), "Zm8=");
    EXPECT_EQ(Base64EncodeText("foo"), "Zm9v");
    EXPECT_EQ(Base64EncodeText("foob"), "Zm9vYg==");
    EXPECT_EQ(Base64EncodeText("fooba"), "Zm9vYmE=");
    EXPECT_EQ(Base64EncodeText("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64EncodeText(std::string("\x00\x00\x00", 3)), "AAAA");
}

TEST(Base64, UrlFormReplacesPlusAndSlashAndKeepsPadding)
{
    const std::string bytes("\xFB\xEF\xFF\x3E", 4);
    EXPECT_EQ(Base64EncodeText(bytes), "++//Pg==");
    EXPECT_EQ(Base64UrlEncodeText(bytes), "--__Pg==");
    EXPECT_EQ(Base64UrlEncodeText(""), "");
}

TEST(Base32, Rfc4648VectorsAndPadding)
{
    EXPECT_EQ(Base32EncodeText(""), "");
    EXPECT_EQ(Base32EncodeText(std::string("\x01", 1)), "AE======");
    EXPECT_EQ(Base32EncodeText("f"), "MY======");
    EXPECT_EQ(Base32EncodeText("fo"), "MZXQ====");
    EXPECT_EQ(Base32EncodeText("foo"), "MZXW6===");
    EXPECT_EQ(Base32EncodeText("foob"), "MZXW6YQ=");
    EXPECT_EQ(Base32EncodeText("fooba"), "MZXW6YTB");
    EXPECT_EQ(Base32EncodeText("foobar"), "MZXW6YTBOI======");
    EXPECT_EQ(Base32EncodeText(std::string(5, '\xFF')), "77777777");
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
