#include "register/core/URangeCheck.h"

#include "gui/base/SysUtils.h"

void RaiseRangeError() { throw ERangeError(); }
