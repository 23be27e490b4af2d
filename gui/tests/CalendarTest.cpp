// Dates before the day count's origin, 30.12.1899: negative day numbers, back to 1.1.0001.
#include <gtest/gtest.h>

#include <vector>

#include "gui/base/DateTime.h"

TEST(Calendar, EveryDayFromYearOneTo1900RoundTrips)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeDate(1899, 1, 1), -363.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    const int daysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    double expected = EncodeDate(1, 1, 1);
    int failures = 0;
    for (int y = 1; y <= 1900 && failures < 5; ++y) {
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        for (int m = 1; m <= 12; ++m) {
            const int days = daysInMonth[m - 1] + (m == 2 && leap ? 1 : 0);
            for (int d = 1; d <= days; ++d, ++expected) {
                const TDateTime value = EncodeDate(y, m, d);
                int yy = 0, mm = 0, dd = 0;
                DecodeDate(value, yy, mm, dd);
                if (value != expected || yy != y || mm != m || dd != d) {
                    ADD_FAILURE() << d << "." << m << "." << y << " -> " << value << " -> " << dd << "." << mm << "."
                                  << yy;
                    ++failures;
                }
            }
        }
    }
}

TEST(Calendar, DatesBefore1900ReadAndWriteAsText)
{
    EXPECT_EQ(DateToStr(EncodeDate(1899, 12, 29)), "29.12.1899");
    EXPECT_EQ(DateToStr(EncodeDate(1600, 2, 29)), "29.02.1600");
    EXPECT_EQ(DateToStr(EncodeDate(1700, 3, 1) - 1), "28.02.1700");
    EXPECT_EQ(StrToDate("01.01.1800"), EncodeDate(1800, 1, 1));
}

TEST(Calendar, ATimeOfDayBeforeTheOriginBelongsToTheDayOfItsWholePart)
{
    int y, m, d, h, mi, sec, ms;
    DecodeDate(-1.5, y, m, d);
    DecodeTime(-1.5, h, mi, sec, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, mi}), (std::vector<int>{1899, 12, 29, 12, 0}));
    DecodeDate(-0.25, y, m, d);
    DecodeTime(-0.25, h, mi, sec, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, mi}), (std::vector<int>{1899, 12, 30, 6, 0}));
}
