// The start steps of the skin engine and window skinning, for the program block, and the start
// step of window skinning's classes.
//
// AddSkinModules appends the modules in their fixed order (the ends run in reverse):
//   "sSkinEngine"    ConnectWindowSkinning (sConnect.h), then SkinEngineStart / SkinEngineEnd
//   "vxGlow"         glow effects (GlowStart / GlowEnd: every glow freed)
//   "vxDials"        the dialog hook (DialsStart / DialsEnd: the hook removed)
//   "vxSBUtils"      the window adapters (AdaptersStart: GetScrollBarInfo, InitializeFlatSB and
//                    UninitializeFlatSB looked up / AdaptersEnd: the libraries freed, then the
//                    adapters of tab pages)
//   "sVclUtils"      the skin command utilities (VclUtilsStart: SetWindowTheme of "UXTHEME" /
//                    VclUtilsEnd)
//   "sSkinMenus"     the skinned menus (SkinMenusStart / SkinMenusEnd)
//   "sSkinProvider"  SkinWindowsStart
// The program block adds the skinned controls' step after them; the skin test programs run
// the same list through one fixture (tests/support/SkinModules.h).
//
// SkinWindowsStart registers TsSkinProvider for form descriptions and its published properties
// MakeSkinMenu (ordinal, 0/1) and AddedTitle (object, TvxAddedTitle) for code that asks by name
// (gui/Published.h). Running it again changes nothing.
#pragma once

class TModuleOrder;

void AddSkinModules(TModuleOrder& modules);
void SkinWindowsStart();
