#include "register/core/UAppClock.h"

#include <cmath>
#include <cstdio>

#include <windows.h>

#include "gui/base/DateTime.h"

#include "register/core/UConvert.h"
#include "register/core/URegisterCore.h"

namespace UAppClock {

namespace {

constexpr std::int64_t MsPerDay = 86400000;

std::int64_t ToMs(TDateTime t) { return std::llround(t * MsPerDay); }
TDateTime FromMs(std::int64_t ms) { return static_cast<double>(ms) / MsPerDay; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

TDateTime SystemNow()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

} // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec)
{
    const auto days = static_cast<std::int64_t>(::EncodeDate(year, month, day));
    const std::int64_t ms = ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + msec;
    return FromMs(days * MsPerDay + ms);
}

TDateTimeParts DecodeDateTime(TDateTime t)
{
    const std::int64_t ms = ToMs(t);
    const std::int64_t days = FloorDiv(ms, MsPerDay);
    std::int64_t ofDay = ms - days * MsPerDay;
    TDateTimeParts p{};
    ::DecodeDate(static_cast<double>(days), p.year, p.month, p.day);
    p.msec = static_cast<int>(ofDay % 1000);
    ofDay /= 1000;
    p.second = static_cast<int>(ofDay % 60);
    ofDay /= 60;
    p.minute = static_cast<int>(ofDay % 60);
    p.hour = static_cast<int>(ofDay / 60);
    return p;
}

TAppClock::TAppClock()
{
    const TDateTime now = Now();
    pickerDate_ = now;
    pickerTime_ = now;
}

void TAppClock::SetNowSource(TNowSource source) { now_ = std::move(source); }

TDateTime TAppClock::Now() const { return now_ ? now_() : SystemNow(); }

void TAppClock::SetTime(TClockMode mode)
{
    const bool leavingSetting = mode_ == TClockMode::Stellen && mode != TClockMode::Stellen;
    mode_ = mode;
    if (mode == TClockMode::Gleich) {
        offsetMs_ = 0;
    } else if (leavingSetting) {
        const std::int64_t pickedDay = FloorDiv(ToMs(pickerDate_), MsPerDay);
        const std::int64_t timeMs = ToMs(pickerTime_);
        const std::int64_t pickedTimeOfDay = timeMs - FloorDiv(timeMs, MsPerDay) * MsPerDay;
        offsetMs_ = pickedDay * MsPerDay + pickedTimeOfDay - ToMs(Now());
    }
}

void TAppClock::Tick()
{
    switch (mode_) {
    case TClockMode::Gleich:
        offsetMs_ = 0;
        pickerDate_ = pickerTime_ = Now();
        break;
    case TClockMode::Synchron:
        pickerDate_ = pickerTime_ = AppNow();
        break;
    case TClockMode::Statisch:
    case TClockMode::Stellen:
        break;
    }
}

double TAppClock::DayOffset() const { return FromMs(offsetMs_); }

TDateTime TAppClock::AppNow() const { return FromMs(ToMs(Now()) + offsetMs_); }

TAppStamp TAppClock::Stamp() const
{
    const TDateTimeParts p = DecodeDateTime(AppNow());
    char date[40];
    char time[32];
    std::snprintf(date, sizeof date, "%04d%02d%02d", p.year % 10000, p.month, p.day);
    std::snprintf(time, sizeof time, "%02d%02d", p.hour, p.minute);
    TAppStamp s;
    s.date = date;
    s.time = time;
    s.dateBcd = UConvert::DigitTextToBcd(s.date);
    s.timeBcd = UConvert::DigitTextToBcd(s.time);
    return s;
}

TAppClock& AppClock() { return RegisterCore().Clock(); }

std::string AppDateBcd(std::string& digits)
{
    TAppStamp s = AppClock().Stamp();
    digits = s.date;
    return s.dateBcd;
}

std::string AppTimeBcd(std::string& digits)
{
    TAppStamp s = AppClock().Stamp();
    digits = s.time;
    return s.timeBcd;
}

TAppStamp AppStamp() { return AppClock().Stamp(); }

} // namespace UAppClock
