// The program file's version for the main window's caption.
#pragma once

#include <string>

// The fixed file version of the executable's version resource as four numbers joined by "."
// (major and minor from the first version word, release and build from the second):
// "1.1.0.0". An executable without a version resource gives "".
std::string GetFileVersionText();
// The same for any file.
std::string GetFileVersionText(const std::string& fileName);
