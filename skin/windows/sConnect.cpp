#include "skin/windows/sConnect.h"

#include "skin/engine/sHooks.h"
#include "skin/windows/sComposition.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxGlow.h"

void ConnectWindowSkinning()
{
    TsWindowSkinningHooks& h = WindowSkinningHooks();
    h.DwmCompositionEnabled = &DwmCompositionEnabled;
    h.SkipGraphicChildren = [] { return SkipGraphicChildren; };
    h.BroadcastToControls = &BroadcastToControls;
    h.SendSkinCommand = &SendSkinCommand;
    h.BroadcastToHookedWindows = &BroadcastToHookedWindows;
    h.ClearGlows = &ClearGlows;
    h.InstallSkinHook = &InstallSkinHook;
    h.RemoveSkinHook = &RemoveSkinHook;
    h.RedrawPopupWindows = &RedrawPopupWindows;
    h.AnimationWindow = [] { return AnimationWindow; };
    h.SetSkinChangingFlag = [](bool on) { SkinChangingFlag = on; };
    h.FormProvider = [](TForm* form) -> TsFormProviderState* { return TsSkinProvider::Of(form); };
    h.AnimShowForm = &AnimShowForm;
    h.CreateSkinMenus = [](TsSkinManager* manager) -> TsSkinMenus* { return new TsSkinableMenus(manager); };
    h.SkinPopupMenu = &SkinPopupMenu;
    h.SendSkinCommandToControl = &SendSkinCommandToControl;
    h.ControlIsReady = &ControlIsReady;
    h.NotifyParentForm = &NotifyParentForm;
    h.ControlColor = &AskControlColor;
    h.ShowGlow = &ShowGlow;
    h.HideGlow = &HideGlow;
    h.SetWindowTheme = &CallSetWindowTheme;
    h.ThemesEnabled = &ThemesEnabled;
}
