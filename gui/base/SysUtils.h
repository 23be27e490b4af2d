// Exceptions of the class library and small text and file-name helpers. Errors inside a
// deliverable are raised as these and shown to the user as message boxes with their text.
// Everything here but FileExists and DirectoryExists is platform-free.
#pragma once

#include <string>

#include "gui/base/DateTime.h"
#include "gui/base/Exceptions.h"
#include "gui/base/NumberFormat.h"

// Text helpers (ANSI, code page 1252).
std::string Trim(const std::string& s);
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);

// File names.
std::string ExtractFilePath(const std::string& fileName); // up to and with the last '\'
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName); // with the dot
std::string IncludeTrailingPathDelimiter(const std::string& path);
// Over the file system of Windows (FileSystem.cpp).
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& path);
