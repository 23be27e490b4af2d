#include "skin/windows/sSkinMenus.h"

void SkinMenusStart() {}

void SkinMenusEnd() {}
