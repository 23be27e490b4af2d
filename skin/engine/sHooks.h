// The services of window skinning (skin/windows) that the skin engine calls. The engine does
// not include skin/windows: it declares them here, and skin/windows fills them in when it is
// connected (ConnectWindowSkinning, before the engine's start). A service left empty answers
// as if nothing were skinned (false, 0).
#pragma once

struct TsWindowSkinningHooks {
    // Desktop composition is on (Windows 6 or later and DwmIsCompositionEnabled says so).
    bool (*DwmCompositionEnabled)() = nullptr;
    // The switch for skipping graphic children is on: their bounds stay in the clip region
    // when a container paints (ExcludeGraphicControls).
    bool (*SkipGraphicChildren)() = nullptr;
};

TsWindowSkinningHooks& WindowSkinningHooks();

// The hooks' answers, with the neutral answer where a hook is empty.
bool HookDwmCompositionEnabled();
bool HookSkipGraphicChildren();
