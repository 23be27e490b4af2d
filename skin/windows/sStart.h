// The start step of window skinning's classes, for the program block (after the skin engine's
// start): registers TsSkinProvider for form descriptions and its published properties
// MakeSkinMenu (ordinal, 0/1) and AddedTitle (object, TvxAddedTitle) for code that asks by name
// (gui/Published.h). Running it again changes nothing. The engine's hooks are filled apart from
// this, by ConnectWindowSkinning (sConnect.h).
#pragma once

void SkinWindowsStart();
