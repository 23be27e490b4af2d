#include "register/ui/UDebugForm.h"

#include <windows.h>

#include "gui/StdCtrls.h"
#include "register/core/URegisterCore.h"

TDebugForm* DebugForm = nullptr;

TDebugForm::TDebugForm(TComponent* owner) : TForm(owner) {}

TDebugForm::~TDebugForm()
{
    Unregister();
    if (DebugForm == this) DebugForm = nullptr;
}

void TDebugForm::BeforeDestruction()
{
    Unregister();
    TForm::BeforeDestruction();
}

void TDebugForm::Unregister()
{
    TRegisterCore* core = TRegisterCore::Current();
    if (core && core->DebugWindow() == this) core->SetDebugWindow(nullptr);
}

const TFormBindings& TDebugForm::Bindings() const
{
    static const TFormBindings b = {
        {"SendMemo", &TDebugForm::SendMemo},         {"Button1", &TDebugForm::Button1},
        {"CheckHash", &TDebugForm::CheckHash},       {"CheckVer", &TDebugForm::CheckVer},
        {"CheckTrans", &TDebugForm::CheckTrans},     {"CheckManVer", &TDebugForm::CheckManVer},
        {"FormCreate", &TDebugForm::FormCreate},     {"FormClose", &TDebugForm::FormClose},
        {"Button1Click", &TDebugForm::Button1Click}, {"CheckTransClick", &TDebugForm::CheckTransClick},
    };
    return b;
}

void TDebugForm::FormCreate(TObject*)
{
    state_ = UDebugHold::StateWaiting;
    UDebugHold::SetDebugWindow(this);
}

void TDebugForm::FormClose(TObject*, TCloseAction& Action)
{
    state_ = UDebugHold::StateClosed;
    Action = caHide;
}

void TDebugForm::Button1Click(TObject*) { state_ = UDebugHold::StateSent; }

// Also bound to CheckManVer: ticking or unticking a hold switch arms the window again.
void TDebugForm::CheckTransClick(TObject*) { state_ = UDebugHold::StateWaiting; }

bool TDebugForm::GetCheckHash() const { return CheckHash->Checked(); }
bool TDebugForm::GetCheckVer() const { return CheckVer->Checked(); }
bool TDebugForm::GetCheckTrans() const { return CheckTrans->Checked(); }
bool TDebugForm::GetCheckManVer() const { return CheckManVer->Checked(); }

void TDebugForm::ShowSendText(const std::string& text)
{
    Show();
    SendMemo->SetText(text);
    state_ = UDebugHold::StateWaiting;
}

std::string TDebugForm::GetSendText() const { return SendMemo->Text(); }

void TDebugForm::WaitRound()
{
    Sleep(200);
    Application->ProcessMessages();
    // The program is ending: nobody will press "Send" any more.
    if (Application->Terminated()) {
        state_ = UDebugHold::StateClosed;
        return;
    }
    // Released already: no need to wait for one more message.
    if (state_ != UDebugHold::StateWaiting) return;
    Application->HandleMessage();
    if (Application->Terminated()) state_ = UDebugHold::StateClosed;
}
