#include <gtest/gtest.h>

#include <string>

#include "register/core/UQrPayload.h"

TEST(QrPayload, TakesUpTo1024BytesAndRefusesAnAppendPastTheEnd)
{
    TQrPayload payload;
    const std::string a(1000, 'a'), b(24, 'b');
    EXPECT_TRUE(payload.Add(a.data(), a.size()));
    EXPECT_FALSE(payload.Add(b.data(), 25));
    EXPECT_EQ(payload.Size(), 1000u);
    EXPECT_TRUE(payload.Add(b.data(), b.size()));
    EXPECT_EQ(payload.Size(), 1024u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(payload.Data()), payload.Size()), a + b);
    EXPECT_FALSE(payload.Add("c", 1));
    EXPECT_TRUE(payload.Add(nullptr, 0));
    EXPECT_EQ(payload.Size(), 1024u);
    payload.Clear();
    EXPECT_EQ(payload.Size(), 0u);
    EXPECT_TRUE(payload.Add("c", 1));
    EXPECT_EQ(payload.Data()[0], 'c');
}
