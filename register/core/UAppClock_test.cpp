#include <gtest/gtest.h>

#include <string>

#include "register/core/UAppClock.h"
#include "register/core/URegisterCore.h"

using namespace UAppClock;

namespace {

// A clock whose "now" the test sets.
struct ClockAt {
    TDateTime now = 0;
    TAppClock clock;
    explicit ClockAt(TDateTime start) : now(start)
    {
        clock.SetNowSource([this] { return now; });
        clock.Tick();
    }
    void Advance(int seconds) { now += seconds / 86400.0; }
    std::string Date() const { return clock.Stamp().date; }
    std::string Time() const { return clock.Stamp().time; }
};

void Pick(TAppClock& c, TDateTime date, TDateTime time)
{
    c.SetTime(TClockMode::Stellen);
    c.SetPickerDate(date);
    c.SetPickerTime(time);
}

} // namespace

TEST(AppClock, CalendarRoundTrip)
{
    EXPECT_EQ(EncodeDateTime(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDateTime(2000, 1, 1), 36526.0);
    const TDateTimeParts p = DecodeDateTime(EncodeDateTime(2024, 2, 29, 23, 59, 58, 999));
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.month, 2);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 23);
    EXPECT_EQ(p.minute, 59);
    EXPECT_EQ(p.second, 58);
    EXPECT_EQ(p.msec, 999);
}

TEST(AppClock, GleichAtTheLastMinuteOfTheYear)
{
    ClockAt t(EncodeDateTime(2024, 12, 31, 23, 59, 59, 900));
    const TAppStamp s = t.clock.Stamp();
    EXPECT_EQ(s.date, "20241231");
    EXPECT_EQ(s.time, "2359");
    EXPECT_EQ(s.dateBcd, std::string("\x20\x24\x12\x31", 4));
    EXPECT_EQ(s.timeBcd, std::string("\x23\x59", 2));
    EXPECT_EQ(t.clock.DayOffset(), 0.0);
    EXPECT_FALSE(t.clock.PickersEnabled());
}

TEST(AppClock, TwoDaysAheadThenSynchronCarriesThePickedDate)
{
    // The picker's time has whole minutes, so it lies a little before "now".
    ClockAt t(EncodeDateTime(2024, 3, 10, 10, 0, 30));
    Pick(t.clock, EncodeDateTime(2024, 3, 12), EncodeDateTime(2024, 3, 10, 10, 0, 0));
    EXPECT_TRUE(t.clock.PickersEnabled());
    t.clock.SetTime(TClockMode::Synchron);
    EXPECT_EQ(t.Date(), "20240312");
    EXPECT_EQ(t.Time(), "1000");
    t.Advance(3600);
    t.clock.Tick();
    EXPECT_EQ(t.Date(), "20240312");
    EXPECT_EQ(t.Time(), "1100");
    const TDateTimeParts shown = DecodeDateTime(t.clock.PickerDate());
    EXPECT_EQ(shown.day, 12);
    EXPECT_EQ(DecodeDateTime(t.clock.PickerTime()).hour, 11);
}

TEST(AppClock, PickedMomentIsExactForEveryTimeOfDay)
{
    // Picks before and after the current time of day, forward and backward.
    for (int pickHour : {0, 9, 13, 23}) {
        for (int dayShift : {-3, -1, 0, 1, 2}) {
            ClockAt t(EncodeDateTime(2023, 12, 31, 12, 30, 0));
            Pick(t.clock, EncodeDateTime(2023, 12, 31) + dayShift, EncodeDateTime(1899, 12, 30, pickHour, 59));
            t.clock.SetTime(TClockMode::Statisch);
            const TDateTimeParts want = DecodeDateTime(EncodeDateTime(2023, 12, 31) + dayShift);
            char date[16];
            std::snprintf(date, sizeof date, "%04d%02d%02d", want.year, want.month, want.day);
            char time[8];
            std::snprintf(time, sizeof time, "%02d59", pickHour);
            EXPECT_EQ(t.Date(), date) << pickHour << " " << dayShift;
            EXPECT_EQ(t.Time(), time) << pickHour << " " << dayShift;
        }
    }
}

TEST(AppClock, ShiftedTimePastMidnightMovesTheDateToo)
{
    ClockAt t(EncodeDateTime(2024, 3, 10, 10, 0, 0));
    Pick(t.clock, EncodeDateTime(2024, 3, 10), EncodeDateTime(1899, 12, 30, 23, 59));
    t.clock.SetTime(TClockMode::Synchron);
    t.Advance(120);
    EXPECT_EQ(t.Date(), "20240311");
    EXPECT_EQ(t.Time(), "0001");
}

TEST(AppClock, BackwardOffsetEarlyInTheDayGoesToThePreviousDay)
{
    ClockAt t(EncodeDateTime(2024, 1, 1, 1, 0, 0));
    Pick(t.clock, EncodeDateTime(2023, 12, 31), EncodeDateTime(1899, 12, 30, 23, 0));
    t.clock.SetTime(TClockMode::Synchron);
    EXPECT_EQ(t.Date(), "20231231");
    EXPECT_EQ(t.Time(), "2300");
    EXPECT_LT(t.clock.DayOffset(), 0.0);
}

TEST(AppClock, GleichResetsTheOffsetAtOnceAlsoWhenLeavingStellen)
{
    ClockAt t(EncodeDateTime(2024, 6, 1, 8, 15, 0));
    Pick(t.clock, EncodeDateTime(2024, 6, 6), EncodeDateTime(1899, 12, 30, 8, 15));
    t.clock.SetTime(TClockMode::Gleich);
    EXPECT_EQ(t.clock.DayOffset(), 0.0);
    EXPECT_EQ(t.Date(), "20240601");
    EXPECT_EQ(t.Time(), "0815");
    EXPECT_FALSE(t.clock.PickersEnabled());

    // From a fixed offset too.
    Pick(t.clock, EncodeDateTime(2024, 6, 6), EncodeDateTime(1899, 12, 30, 8, 15));
    t.clock.SetTime(TClockMode::Synchron);
    EXPECT_EQ(t.Date(), "20240606");
    t.clock.SetTime(TClockMode::Gleich);
    EXPECT_EQ(t.Date(), "20240601");
}

TEST(AppClock, StatischFixesTheOffsetFreezesThePickersAndKeepsTheClockRunning)
{
    ClockAt t(EncodeDateTime(2024, 6, 1, 8, 0, 0));
    Pick(t.clock, EncodeDateTime(2024, 5, 1), EncodeDateTime(1899, 12, 30, 12, 0));
    t.clock.SetTime(TClockMode::Statisch);
    const TDateTime shownDate = t.clock.PickerDate();
    const TDateTime shownTime = t.clock.PickerTime();
    t.Advance(600);
    t.clock.Tick();
    EXPECT_EQ(t.clock.PickerDate(), shownDate);
    EXPECT_EQ(t.clock.PickerTime(), shownTime);
    EXPECT_EQ(t.Date(), "20240501");
    EXPECT_EQ(t.Time(), "1210");

    // Changing between the running modes keeps the offset.
    t.clock.SetTime(TClockMode::Synchron);
    t.clock.Tick();
    EXPECT_EQ(t.Time(), "1210");
    EXPECT_EQ(DecodeDateTime(t.clock.PickerTime()).minute, 10);
}

TEST(AppClock, ProgramClockDefaultsToTheSystemClock)
{
    TRegisterCore core;
    std::string date;
    std::string time;
    EXPECT_EQ(AppDateBcd(date).size(), 4u);
    EXPECT_EQ(AppTimeBcd(time).size(), 2u);
    EXPECT_EQ(date.size(), 8u);
    EXPECT_EQ(time.size(), 4u);
    EXPECT_EQ(AppClock().DayOffset(), 0.0);
}

// The program's stamp comes from the core's clock, read once for date and time.
TEST(AppClock, AppStampTakesDateAndTimeFromOneReading)
{
    TRegisterCore core;
    int reads = 0;
    // Each reading of the clock is one minute later, starting at 23:59 on 31 December.
    core.Clock().SetNowSource([&] { return EncodeDateTime(2024, 12, 31, 23, 59) + (reads++) / 1440.0; });
    const TAppStamp s = AppStamp();
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(s.date, "20241231");
    EXPECT_EQ(s.time, "2359");
    EXPECT_EQ(s.dateBcd, std::string("\x20\x24\x12\x31", 4));
    EXPECT_EQ(s.timeBcd, std::string("\x23\x59", 2));
}
