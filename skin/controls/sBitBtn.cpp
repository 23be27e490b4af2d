#include "skin/controls/sBitBtn.h"

void StubProc() {}
