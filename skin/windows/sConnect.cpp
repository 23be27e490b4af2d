#include "skin/windows/sConnect.h"

#include "skin/engine/sHooks.h"
#include "skin/windows/sComposition.h"

void ConnectWindowSkinning() { WindowSkinningHooks().DwmCompositionEnabled = &DwmCompositionEnabled; }
