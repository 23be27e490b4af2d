// The card start check's version test and the transport-PIN text, apart from the windows.
#pragma once

#include <string>

// Whether the card version V is in the accepted list (entries "v" + version + ";"):
//   1. "v" + V + ";" occurs in the list: accepted ("1.1.3" by "v1.1.3;");
//   2. otherwise an empty V is not accepted;
//   3. otherwise V cut back to its last "." is looked up the same way ("1.1.4" by "v1.1.;").
// A V without "." that the first search misses is not accepted.
bool IsCardVersionAccepted(const std::string& version, const std::string& accepted);

// The PIN field of the activation report as hex text: tag C3, the length and each
// character's code, each byte followed by a blank. "123456" -> "C3 06 31 32 33 34 35 36 ";
// unfilled places of the six-digit field are blanks: "12345 " -> "C3 06 31 32 33 34 35 20 ".
std::string PinDataText(const std::string& pin);
