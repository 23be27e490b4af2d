// The debug window: four switches that the core reads and the send field in which the core
// holds a command until the user presses "Send" or closes the window. It registers itself with
// the program's core (URegisterCore.h) when it is created.
#pragma once

#include "gui/Forms.h"
#include "register/core/UDebugHold.h"

class TButton;
class TCheckBox;
class TMemo;

class TDebugForm : public TForm, public UDebugHold::IDebugWindow {
    GUI_CLASS(TDebugForm, TForm)
    explicit TDebugForm(TComponent* owner);
    ~TDebugForm() override;
    // The core forgets the window before it goes.
    void BeforeDestruction() override;

    TMemo* SendMemo = nullptr;
    TButton* Button1 = nullptr;
    TCheckBox* CheckHash = nullptr;
    TCheckBox* CheckVer = nullptr;
    TCheckBox* CheckTrans = nullptr;
    TCheckBox* CheckManVer = nullptr;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button1Click(TObject* Sender);
    void CheckTransClick(TObject* Sender);

    bool GetCheckHash() const override;
    bool GetCheckVer() const override;
    bool GetCheckTrans() const override;
    bool GetCheckManVer() const override;
    int GetState() const override { return state_; }
    void ShowSendText(const std::string& text) override;
    std::string GetSendText() const override;
    void HideWindow() override { Hide(); }
    void WaitRound() override;

protected:
    const TFormBindings& Bindings() const override;

private:
    void Unregister();
    int state_ = UDebugHold::StateWaiting;
};

extern TDebugForm* DebugForm;
