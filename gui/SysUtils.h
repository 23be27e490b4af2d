// Exceptions of the class library. Errors inside a deliverable are raised as these and shown
// to the user as message boxes with their text.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A failed assertion: the message, then the source unit and the line of the check.
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(const std::string& message, const char* unit, int line);
};

// A text that does not convert to a number or date.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
