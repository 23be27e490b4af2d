// The application clock: the system clock shifted by one program-wide day offset, so that
// transactions and reports can be dated in the past or the future. The main window's clock
// panel drives it (four modes, two pickers, a 1 s tick); the core reads the application
// date and time as packed BCD.
//
// Date and time of the application always come from one moment, now + offset: its calendar
// date and its time of day. So the picked date and time are exactly what a transaction
// carries right after the user leaves "stellen", whatever the picked time of day.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace UAppClock {

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int msec = 0);

struct TDateTimeParts {
    int year, month, day, hour, minute, second, msec;
};
// Calendar date and time of day of a moment, to the millisecond (days counted by floor,
// so the time of day is never negative).
TDateTimeParts DecodeDateTime(TDateTime t);

// The radio buttons of the clock panel.
enum class TClockMode { Gleich, Synchron, Statisch, Stellen };

// The application date and time of one moment, as digits and as packed BCD.
struct TAppStamp {
    std::string date;    // "yyyyMMdd"
    std::string time;    // "hhmm"
    std::string dateBcd; // 4 bytes
    std::string timeBcd; // 2 bytes
};

class TAppClock {
public:
    using TNowSource = std::function<TDateTime()>;

    TAppClock(); // runs on the system's local time

    // Replaces the source of "now" (tests); an empty function restores the system clock.
    void SetNowSource(TNowSource source);
    TDateTime Now() const;

    // A radio button was clicked. Leaving "stellen" for "synchron" or "statisch" fixes the
    // offset to the picked date and time; "gleich" always resets it to 0 at once.
    void SetTime(TClockMode mode);
    TClockMode Mode() const { return mode_; }
    bool PickersEnabled() const { return mode_ == TClockMode::Stellen; }

    // The 1 s tick: in "gleich" the pickers follow the system clock and the offset is 0;
    // in "synchron" they show the shifted clock; otherwise they stay.
    void Tick();

    // The pickers' values: the date picker's whole days and the time picker's time of day
    // count. The user edits them while "stellen" is selected.
    TDateTime PickerDate() const { return pickerDate_; }
    TDateTime PickerTime() const { return pickerTime_; }
    void SetPickerDate(TDateTime date) { pickerDate_ = date; }
    void SetPickerTime(TDateTime time) { pickerTime_ = time; }

    // Offset in days (whole days and fraction); 0 at start.
    double DayOffset() const;
    // The application's moment: now + offset.
    TDateTime AppNow() const;
    TAppStamp Stamp() const;

private:
    TNowSource now_;
    TClockMode mode_ = TClockMode::Gleich;
    std::int64_t offsetMs_ = 0;
    TDateTime pickerDate_ = 0;
    TDateTime pickerTime_ = 0;
};

// The program's clock (the core's, URegisterCore.h).
TAppClock& AppClock();

// Date and time of the application from one reading of the clock. Transaction and report
// commands take both from one stamp, so a command made at midnight cannot carry the new
// day's date with the old day's time.
TAppStamp AppStamp();
// Each of these reads the clock on its own: for showing the date or the time alone, never for
// a command that carries both. The application date "yyyyMMdd" into digits, its 4 BCD bytes as
// result; the application time "hhmm" into digits, its 2 BCD bytes as result.
std::string AppDateBcd(std::string& digits);
std::string AppTimeBcd(std::string& digits);

} // namespace UAppClock
