#include "skin/engine/sHooks.h"

TsWindowSkinningHooks& WindowSkinningHooks()
{
    static TsWindowSkinningHooks hooks;
    return hooks;
}

bool HookDwmCompositionEnabled()
{
    auto f = WindowSkinningHooks().DwmCompositionEnabled;
    return f && f();
}

bool HookSkipGraphicChildren()
{
    auto f = WindowSkinningHooks().SkipGraphicChildren;
    return f && f();
}
