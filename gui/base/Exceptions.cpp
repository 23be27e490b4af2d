#include "gui/base/Exceptions.h"

EAssertionFailed::EAssertionFailed(const std::string& message, const char* unit, int line)
    : Exception(message + " (" + unit + ", line " + std::to_string(line) + ")")
{}

ERangeError::ERangeError() : Exception("Fehler bei Bereichsprüfung") {}

EIntOverflow::EIntOverflow() : Exception("Integerüberlauf") {}

EFOpenError::EFOpenError(const std::string& fileName)
    : EStreamError("Datei \"" + fileName + "\" kann nicht geöffnet werden")
{}

EFCreateError::EFCreateError(const std::string& fileName)
    : EStreamError("Datei \"" + fileName + "\" kann nicht erstellt werden")
{}

EResNotFound::EResNotFound(const std::string& name) : Exception("Ressource " + name + " nicht gefunden") {}
