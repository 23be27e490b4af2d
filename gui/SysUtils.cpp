#include "SysUtils.h"

EAssertionFailed::EAssertionFailed(const std::string& message, const char* unit, int line)
    : Exception(message + " (" + unit + ", line " + std::to_string(line) + ")") {}
