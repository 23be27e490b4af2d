// TsMDIForm: the companion that the form provider of an MDI main form keeps (SetMDIFormObject
// of TsSkinProvider). While the provider is skinned, the form's MDI client window has a
// TvxMDIWnd adapter (vxMDIWnd.h) that shows the provider's form image in it; when the skin goes
// or the provider goes, the companion and its adapter go.
//
//   provider->SetMDIFormObject(true);   // companion made, connected; the MDI main provider
//   provider->MDIForm()->MDIWnd;        // the client window's adapter (none while unskinned)
//   provider->MDIForm()->UpdateMDIIcons();  // the main form's frame painted anew
//   provider->SetMDIFormObject(false);  // adapter and companion freed
//
// Connect twice makes one adapter; ConnectToClient of an unskinned provider leaves none.
#pragma once

#include <windows.h>

#include "gui/base/Classes.h"

class TForm;
class TsSkinProvider;
class TvxMDIWnd;

class TsMDIForm : public TObject {
    GUI_CLASS(TsMDIForm, TObject)
    // The provider's form gets its window (and with it its client window) at once.
    explicit TsMDIForm(TsSkinProvider* provider);
    ~TsMDIForm() override;
    TsMDIForm(const TsMDIForm&) = delete;
    TsMDIForm& operator=(const TsMDIForm&) = delete;

    TForm* Form = nullptr;       // the MDI main form (not owned)
    TvxMDIWnd* MDIWnd = nullptr; // the client window's adapter (owned), none when not adapted
    TsSkinProvider* Provider = nullptr;

    // ConnectToClient unless there is an adapter already.
    void Connect();
    // A new adapter for the client window while the provider is skinned; none otherwise.
    void ConnectToClient();
    // The adapter (with its own skin link) freed.
    void DisconnectFromClient();
    // The provider's frame painted anew from a new image (WM_NCPAINT to the form); the answer.
    LRESULT UpdateMDIIcons();
};

// The provider of the MDI main form that was skinned last (SetMDIFormObject), or none.
TsSkinProvider* MDIMainProvider();
