// The program-wide number format: German conventions whatever the machine's locale.
// Decimal separator ",", thousands separator ".". Conversion errors raise EConvertError with
// the German texts "'%s' ist kein gültiger Gleitkommawert" and "'%s' ist kein gültiger Integerwert".
#pragma once

#include <cstdint>
#include <string>

constexpr char DecimalSeparator = ',';
constexpr char ThousandSeparator = '.';

std::string IntToStr(long long value);
std::string IntToHex(unsigned long long value, int digits);
int StrToInt(const std::string& s); // decimal or $hex, blanks around allowed
int StrToIntDef(const std::string& s, int fallback);
bool TryStrToInt(const std::string& s, int& value);
long long StrToInt64(const std::string& s);

// General format: the shortest text with up to `precision` significant digits
// (FloatToStr uses 15); exponent form "1,5E20", "1E-5" when the exponent is below -4 or not
// below the precision.
std::string FloatToStr(double value);
std::string FloatToStrG(double value, int precision);
// Fixed format with `digits` decimals ("0,50").
std::string FloatToStrFixed(double value, int digits);
// Reads "0,5", "-1,25E3" with the program's decimal comma, or with the separator the caller
// names: product quantities are written with "." (StrToFloat("0.5", '.')). The other separator
// is not accepted.
double StrToFloat(const std::string& s, char decimalSeparator = DecimalSeparator);
bool TryStrToFloat(const std::string& s, double& value, char decimalSeparator = DecimalSeparator);
double StrToFloatDef(const std::string& s, double fallback, char decimalSeparator = DecimalSeparator);
// Pattern format: "0" digit, "#" optional digit, "." decimal point, "," thousands grouping,
// anything else literal ("0.00", "#,##0.00", "000").
std::string FormatFloat(const std::string& pattern, double value);
