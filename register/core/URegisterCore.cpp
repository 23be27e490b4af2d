#include "register/core/URegisterCore.h"

#include "gui/base/SysUtils.h"

namespace {
TRegisterCore* current = nullptr;
}

TRegisterCore::TRegisterCore()
{
    if (current) throw EInvalidOperation("Der Kern der Kasse ist schon angelegt");
    current = this;
}

TRegisterCore::~TRegisterCore()
{
    if (current == this) current = nullptr;
}

TRegisterCore* TRegisterCore::Current() { return current; }

IRegisterHost& TRegisterCore::Host() const
{
    if (!host_) throw EInvalidOperation("Das Kassenfenster ist nicht angemeldet");
    return *host_;
}

TRegisterCore& RegisterCore()
{
    if (!current) throw EInvalidOperation("Der Kern der Kasse ist nicht angelegt");
    return *current;
}
