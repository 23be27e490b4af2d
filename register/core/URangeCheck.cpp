#include "URangeCheck.h"

#include "SysUtils.h"

void RaiseRangeError()
{
    throw ERangeError();
}
