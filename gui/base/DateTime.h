// Dates and times as days since 30.12.1899 with the time of day as fraction, and their
// program-wide German text forms: dd.MM.yyyy and hh:mm:ss, whatever the machine's locale.
#pragma once

#include <functional>
#include <string>

using TDateTime = double;

// The local system time; Date and Time are its parts.
TDateTime Now();
// Replaces the source of Now, Date and Time (tests); an empty function restores the system's
// local clock.
using TNowSource = std::function<TDateTime()>;
void SetNowSource(TNowSource source);
TDateTime Date();
TDateTime Time();
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

std::string DateToStr(TDateTime value);     // "31.12.2024"
std::string TimeToStr(TDateTime value);     // "23:59:07"
std::string DateTimeToStr(TDateTime value); // "31.12.2024 23:59:07"
TDateTime StrToDate(const std::string& s);  // "31.12.2024"; EConvertError otherwise
TDateTime StrToTime(const std::string& s);  // "23:59" or "23:59:07"

// Pattern letters (case-insensitive): yyyy, yy, mm/m (month; minutes directly after an hour),
// dd/d, hh/h, nn/n (minutes), ss/s, zzz (milliseconds); text in quotes and other characters literal.
std::string FormatDateTime(const std::string& pattern, TDateTime value);
