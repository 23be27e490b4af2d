#include <gtest/gtest.h>

#include <string>

#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"

TEST(MemoryStream, ReadsWritesSeeksAndGrows)
{
    TMemoryStream s;
    s.WriteString("Hallo");
    EXPECT_EQ(s.Size(), 5);
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.Seek(-2, soCurrent), 3);
    s.WriteString("XYZ"); // overwrites two bytes and grows by one
    EXPECT_EQ(s.DataString(), "HalXYZ");
    EXPECT_EQ(s.Seek(-10, soCurrent), 0); // never before the start
    EXPECT_EQ(s.Seek(-1, soEnd), 5);

    char buf[8] = {};
    s.SetPosition(4);
    EXPECT_EQ(s.Read(buf, sizeof buf), 2u);
    EXPECT_EQ(std::string(buf, 2), "YZ");
    EXPECT_EQ(s.Read(buf, 1), 0u);
    s.SetPosition(100);
    EXPECT_EQ(s.Read(buf, 1), 0u);
    s.SetPosition(1);
    EXPECT_THROW(s.ReadBuffer(buf, 6), EStreamError);

    s.SetSize(2);
    EXPECT_EQ(s.DataString(), "Ha");
    EXPECT_EQ(s.Position(), 2);
    s.SetSize(4);
    EXPECT_EQ(s.DataString(), std::string("Ha\0\0", 4));
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, CopiesFromOtherStreams)
{
    TMemoryStream source;
    source.WriteString(std::string(70000, 'a') + "end");
    TMemoryStream whole;
    EXPECT_EQ(whole.CopyFrom(source, 0), 70003);
    EXPECT_EQ(whole.DataString(), source.DataString());

    source.SetPosition(69999);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(source, 4), 4);
    EXPECT_EQ(part.DataString(), "aend");
    EXPECT_THROW(part.CopyFrom(source, 1), EStreamError);

    TMemoryStream loaded;
    loaded.WriteString("old");
    loaded.LoadFromStream(source);
    EXPECT_EQ(loaded.Size(), 70003);
    EXPECT_EQ(loaded.Position(), 0);
}
