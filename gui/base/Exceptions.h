// Exceptions of the class library. Errors inside a deliverable are raised as these and shown
// to the user as message boxes with their text. Windowless and platform-free: code that only
// raises them builds anywhere.
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

// The silent exception: it ends the current operation, and the application shows no message
// for it (TApplication::ShowException passes it over).
class EAbort : public Exception {
public:
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

// A resource the system refused (a window that takes no further line, ...).
class EOutOfResources : public Exception {
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

// A picture that cannot be read: broken or unsupported data, or an unknown file extension.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A resource that the module does not hold ("Ressource X nicht gefunden").
class EResNotFound : public Exception {
public:
    explicit EResNotFound(const std::string& name);
};

// A printer that fails.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};
