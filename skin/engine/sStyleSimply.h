// The skinned-forms list, the application's two icons for skinned title bars, and the
// broadcasts with which the skin manager tells every form and control of a skin change:
//
//   AddSkinnedForm(form);                 a form provider adds its form when it is made
//   TMessage m{SM_VELOCONCMD, SkinCommandWParam(cmdRefresh), LPARAM(manager), 0};
//   BroadcastToForms(m);                  plain forms (not answering command 7 with 1) and
//                                         their controls, then the skinned forms
//   LockForms(manager); ... UnlockForms(manager, true);   one repaint per form for a change
//   RemoveSkinnedForm(form);              every entry of the form goes
//
// A form is listed at most once; removing takes out every equal entry, so no freed form stays.
#pragma once

#include <memory>
#include <vector>

#include "gui/Controls.h"

class TForm;
class TIcon;
class TsSkinManager;

void AddSkinnedForm(TForm* form);
void RemoveSkinnedForm(TForm* form);
const std::vector<TForm*>& SkinnedForms();
// The same under the names the form providers use: append, and remove (the last entry moves
// into the gap).
void AddProviderToList(TForm* form);
void RemoveProviderFromList(TForm* form);

// Walks the application's forms from the last to the first: each that is not an MDI child, not
// being destroyed, loaded or read and does not answer command 7 with 1 gets the message
// (SendMessage), then its controls (the child broadcast of window skinning) and, for an MDI
// main form, its client window. Then BroadcastToSkinnedForms.
void BroadcastToForms(TMessage& message);
// Each listed form not being destroyed gets the message, then its controls and an MDI main
// form's client window; then every visible window of window skinning's hooked-window list.
void BroadcastToSkinnedForms(TMessage& message);

// Freezes the shown listed forms whose provider uses the manager, MDI children left out (locked
// flag, WM_SETREDRAW 0; the border form gets the provider's region). Nothing while the main form is minimised. When the
// manager is the default one and animates skin changes, painting is held back meanwhile.
void LockForms(TsSkinManager* manager);
// Thaws them again; with repaint each is animated (when skin changes are animated) or redrawn.
void UnlockForms(TsSkinManager* manager, bool repaint);

// The icons of the running program's file (small and large); none without an icon.
TIcon* AppIconSmall();
TIcon* AppIconLarge();
// Start: loads the icons. End: frees them and empties the forms list.
void StyleSimplyStart();
void StyleSimplyEnd();
