#include "gui/base/DateTime.h"

#include <windows.h>

#include <cmath>
#include <cstdio>

#include "gui/base/SysUtils.h"

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days from 1.1.0001 to the given date (proleptic Gregorian), 1.1.0001 = 1.
long long DayNumber(int y, int m, int d)
{
    long long yy = y - 1;
    long long n = yy * 365 + yy / 4 - yy / 100 + yy / 400;
    for (int i = 1; i < m; ++i)
        n += DaysInMonth(y, i);
    return n + d;
}

const long long kDelta = DayNumber(1899, 12, 30);

TDateTime FromSystemTime(const SYSTEMTIME& st)
{
    return EncodeDate(st.wYear, st.wMonth, st.wDay) + EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

std::string Two(int v)
{
    char b[16];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

bool ReadNumber(const std::string& s, size_t& i, int& v)
{
    while (i < s.size() && s[i] == ' ')
        ++i;
    size_t start = i;
    v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < 6)
        v = v * 10 + (s[i++] - '0');
    return i > start;
}

} // namespace

TDateTime EncodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw EConvertError("Ungültiges Argument zum Codieren des Datums");
    return static_cast<double>(DayNumber(year, month, day) - kDelta);
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        throw EConvertError("Ungültiges Argument zum Codieren der Uhrzeit");
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / 86400000.0;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    // The whole days count toward zero: before 30.12.1899 the fraction is the time of that day
    // (-1.5 is 29.12.1899, 12:00), as DecodeTime reads it.
    long long n = static_cast<long long>(std::trunc(value)) + kDelta;
    // Estimate the year, then correct.
    int y = static_cast<int>(n / 365.2425) + 1;
    while (y > 1 && DayNumber(y, 1, 1) > n)
        --y;
    while (DayNumber(y + 1, 1, 1) <= n)
        ++y;
    int m = 1;
    while (m < 12 && DayNumber(y, m + 1, 1) <= n)
        ++m;
    year = y;
    month = m;
    day = static_cast<int>(n - DayNumber(y, m, 1)) + 1;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec)
{
    double frac = std::fabs(value - std::trunc(value));
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

namespace {
TNowSource& NowSource()
{
    static TNowSource source;
    return source;
}
} // namespace

void SetNowSource(TNowSource source) { NowSource() = std::move(source); }

TDateTime Now()
{
    if (const TNowSource& source = NowSource()) return source();
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FromSystemTime(st);
}

TDateTime Date() { return std::floor(Now()); }

TDateTime Time()
{
    TDateTime n = Now();
    return n - std::floor(n);
}

std::string FormatDateTime(const std::string& pattern, TDateTime value)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDate(value, y, mo, d);
    DecodeTime(value, h, mi, s, ms);
    std::string out;
    bool afterHour = false;
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < pattern.size() && (pattern[i + n] | 0x20) == c)
            ++n;
        return n;
    };
    while (i < pattern.size()) {
        char c = static_cast<char>(pattern[i] | 0x20);
        if (pattern[i] == '"' || pattern[i] == '\'') {
            char q = pattern[i++];
            while (i < pattern.size() && pattern[i] != q)
                out += pattern[i++];
            ++i;
            continue;
        }
        size_t n = (c >= 'a' && c <= 'z') ? run(c) : 0;
        switch (n ? c : 0) {
        case 'y':
            out += n <= 2 ? Two(y % 100) : std::to_string(y);
            afterHour = false;
            break;
        case 'm':
            if (afterHour) out += n >= 2 ? Two(mi) : std::to_string(mi);
            else out += n >= 2 ? Two(mo) : std::to_string(mo);
            afterHour = false;
            break;
        case 'd':
            out += n >= 2 ? Two(d) : std::to_string(d);
            afterHour = false;
            break;
        case 'h':
            out += n >= 2 ? Two(h) : std::to_string(h);
            afterHour = true;
            break;
        case 'n':
            out += n >= 2 ? Two(mi) : std::to_string(mi);
            afterHour = false;
            break;
        case 's':
            out += n >= 2 ? Two(s) : std::to_string(s);
            afterHour = false;
            break;
        case 'z': {
            char b[8];
            std::snprintf(b, sizeof b, n >= 3 ? "%03d" : "%d", ms);
            out += b;
            break;
        }
        default:
            out += pattern[i];
            n = 1;
            break;
        }
        i += n;
    }
    return out;
}

std::string DateToStr(TDateTime value) { return FormatDateTime("dd.mm.yyyy", value); }
std::string TimeToStr(TDateTime value) { return FormatDateTime("hh:nn:ss", value); }
std::string DateTimeToStr(TDateTime value) { return DateToStr(value) + " " + TimeToStr(value); }

TDateTime StrToDate(const std::string& text)
{
    std::string s = Trim(text);
    size_t i = 0;
    int d = 0, m = 0, y = 0;
    bool ok = ReadNumber(s, i, d) && i < s.size() && s[i++] == '.' && ReadNumber(s, i, m) && i < s.size() &&
              s[i++] == '.' && ReadNumber(s, i, y) && i == s.size();
    if (ok && y < 100) y += 2000;
    if (!ok || m < 1 || m > 12 || d < 1 || y < 1 || y > 9999 || d > DaysInMonth(y, m))
        throw EConvertError("'" + text + "' ist kein gültiges Datum");
    return EncodeDate(y, m, d);
}

TDateTime StrToTime(const std::string& text)
{
    std::string s = Trim(text);
    size_t i = 0;
    int h = 0, m = 0, sec = 0;
    bool ok = ReadNumber(s, i, h) && i < s.size() && s[i++] == ':' && ReadNumber(s, i, m);
    if (ok && i < s.size()) ok = s[i++] == ':' && ReadNumber(s, i, sec) && i == s.size();
    if (!ok || h > 23 || m > 59 || sec > 59) throw EConvertError("'" + text + "' ist keine gültige Uhrzeit");
    return EncodeTime(h, m, sec, 0);
}
