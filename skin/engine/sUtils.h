// Small routines of the skin engine that need no platform: rectangles and integers, words of
// a text, and a light reader of INI-style text (the sections of a skin text). The routines
// that need the platform are in sSysUtils.h, those that read published properties in
// sPropUtils.h.
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

#include "gui/base/Geometry.h"
#include "gui/base/Strings.h"

TRect MakeRect(int left, int top, int right, int bottom);
// right - left; with notNegative a negative width is 0: (10,0,5,0) -> -5, or 0.
int WidthOf(const TRect& r, bool notNegative = false);
int HeightOf(const TRect& r, bool notNegative = false);
// r2 reaches into r1 (bottom below r1's top, right beyond its left, left before its right,
// top above its bottom) and r2 is not empty.
bool RectsOverlap(const TRect& r1, const TRect& r2);
// Both corners of inner lie in outer, outer's right and bottom edges counted in.
bool RectInRect(const TRect& outer, const TRect& inner);
// Larger left and top, smaller right and bottom (may be empty or inverted).
TRect IntersectRects(const TRect& r1, const TRect& r2);
bool IsBetween(int value, int min, int max); // min <= value <= max
int MaxOf(int a, int b);
int MinOf(int a, int b);
int LimitIt(int value, int min, int max); // min when below, else the smaller of value and max
int ClampByte(int n);                     // 0 for negative n, 255 above 255
std::string IfThenStr(bool condition, const std::string& whenTrue, const std::string& whenFalse);
int IfThenInt(bool condition, int whenTrue, int whenFalse);

// A set of the 256 byte values.
using TCharSet = std::bitset<256>;
TCharSet CharSetOf(std::string_view chars);
bool CharInSet(char c, const TCharSet& set);
// Words are runs of characters not in delims: ";;a;;b;" has 2 words, word 2 is "b" at
// position 6 (1-based). Missing words: position 0 and "".
int WordCount(const std::string& s, const TCharSet& delims);
int WordPosition(int n, const std::string& s, const TCharSet& delims);
std::string ExtractWord(int n, const std::string& s, const TCharSet& delims);
std::string DelChars(const std::string& s, char c);
// Every occurrence of oldText, found left to right without overlap, replaced by newText.
std::string ReplaceStr(const std::string& s, const std::string& oldText, const std::string& newText);
// "" and "C:\x\" stay; "C:/x/" -> "C:/x\"; "C" -> "C:\"; "C:\x" -> "C:\x\".
std::string IncludeTrailingSlash(const std::string& path);

// INI-style text as sections of "name=value" lines.
struct TsSection {
    std::string Name;
    TStringList Lines;
};
using TsSections = std::vector<TsSection>;
// Empty lines and lines starting with ";" are skipped; "[NAME]" starts a section; other
// lines go to the current section (those before the first section are dropped).
void LoadSections(const TStrings& lines, TsSections& sections);
// The value after "name=" in the first line of the first section of that name whose name part
// is exactly name (both compared exactly); fallback when the section or the line is missing.
std::string ReadSectionString(const TsSections& sections, const std::string& section, const std::string& name,
                              const std::string& fallback);
// As ReadSectionString, then a number: "0x1F" and "0X1F" are hex (31); "0x" and any text that
// is no number give the fallback.
int ReadSectionInteger(const TsSections& sections, const std::string& section, const std::string& name, int fallback);
