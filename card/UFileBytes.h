// Whole files as byte strings, through the ANSI file functions.
#pragma once

#include <string>
#include <string_view>

// False when the file cannot be opened or read.
bool ReadFileBytes(const std::string& name, std::string& bytes);
// Creates the file (or empties an existing one) and writes the bytes; false on any failure.
bool WriteFileBytes(const std::string& name, std::string_view bytes);
