// Exceptions of the class library and small text and file-name helpers. Errors inside a
// deliverable are raised as these and shown to the user as message boxes with their text.
#pragma once

#include <stdexcept>
#include <string>

#include "gui/base/DateTime.h"
#include "gui/base/NumberFormat.h"

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

// An index or value outside its range ("Fehler bei Bereichsprüfung").
class ERangeError : public Exception {
public:
    ERangeError();
    using Exception::Exception;
};

// An integer result that does not fit its type.
class EIntOverflow : public Exception {
public:
    EIntOverflow();
    using Exception::Exception;
};

// An operation that the object's state does not allow.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A list index outside the list.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// Files that cannot be opened, created, read or written.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& fileName);
};
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string& fileName);
};

// Errors of form descriptions and component wiring (unknown class, property or handler).
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// A printer that fails.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

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
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& path);
