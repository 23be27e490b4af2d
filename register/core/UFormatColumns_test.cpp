#include <gtest/gtest.h>

#include "register/core/UFormatColumns.h"

TEST(FormatColumns, FourColumnsOf7And9CharactersCutOrPadded)
{
    EXPECT_EQ(FormatColumns("USt", " Brutto", " Netto", " Steuer"), "USt      Brutto    Netto     Steuer  ");
    EXPECT_EQ(FormatColumns("A  19.00%", " 1,99€", " 1,67€", " 0,32€"), "A  19.0  1,99€     1,67€     0,32€   ");
    EXPECT_EQ(FormatColumns("", "", "", ""), std::string(37, ' '));
    EXPECT_EQ(FormatColumns("1234567", "123456789x", "abcdefghij", "ABCDEFGHIJ"),
              "1234567 123456789 abcdefghi ABCDEFGHI");
}
