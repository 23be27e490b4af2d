#include "URangeCheck.h"

#include "SysUtils.h"

void RaiseRangeError()
{
    throw Exception("Fehler bei Bereichsprüfung");
}
