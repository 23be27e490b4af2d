#include "skin/windows/sMDIForm.h"

#include "gui/Forms.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/vxMDIWnd.h"

namespace {

// The section whose scroll bars and frame widths the client window's adapter takes.
constexpr const char* ClientSection = "CHECKBOX";

TsSkinProvider* mdiMainProvider = nullptr;

} // namespace

TsSkinProvider* MDIMainProvider() { return mdiMainProvider; }

TsMDIForm::TsMDIForm(TsSkinProvider* provider) : Provider(provider)
{
    Form = provider ? provider->Form() : nullptr;
    if (Form) Form->HandleNeeded();
}

TsMDIForm::~TsMDIForm() { DisconnectFromClient(); }

void TsMDIForm::Connect()
{
    if (!MDIWnd) ConnectToClient();
}

void TsMDIForm::ConnectToClient()
{
    DisconnectFromClient();
    if (!Provider || !Form || !Provider->SkinData().Skinned()) return;
    MDIWnd = CreateAdapter<TvxMDIWnd>(Form->ClientHandle(), nullptr, Provider->SkinManager(), ClientSection, true);
    if (!MDIWnd) return;
    MDIWnd->Form = Form;
    MDIWnd->FormSkinData = &Provider->SkinData();
    MDIWnd->Provider = Provider;
}

void TsMDIForm::DisconnectFromClient()
{
    // The adapter frees the skin link it made.
    delete MDIWnd;
    MDIWnd = nullptr;
}

LRESULT TsMDIForm::UpdateMDIIcons()
{
    if (!Provider || !Form || !Form->HandleAllocated()) return 0;
    Provider->FlagImageChanged();
    Provider->SkinData().CacheDirty = true;
    Provider->ResetMenuLineHeight();
    return SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
}

// ---- the provider's side

void TsSkinProvider::SetMDIFormObject(bool create)
{
    if (create) {
        if (!mdiForm_) mdiForm_ = new TsMDIForm(this);
        mdiMainProvider = this;
        mdiForm_->Connect();
        return;
    }
    delete mdiForm_;
    mdiForm_ = nullptr;
    if (mdiMainProvider == this) mdiMainProvider = nullptr;
}
