// TsSkinProvider: the component that a form carries to be drawn with the skin (border, title
// bar, title buttons, system menu). The main window carries one, stored with it as
//
//   object sSkinProvider1: TsSkinProvider
//     SkinData.SkinSection = 'FORM'
//     MakeSkinMenu = True
//     AddedTitle.Font.Charset = DEFAULT_CHARSET
//     AddedTitle.Font.Color = clNone
//     AddedTitle.Font.Height = -13
//     AddedTitle.Font.Name = 'Tahoma'
//     AddedTitle.Font.Style = []
//     TitleButtons = <>
//   end
//
// and the main window makes no calls to it. The provider does not take over its form's window
// procedure yet: the form draws and behaves as a plain form, the provider only keeps its
// settings and the state the skin engine reads and sets (its form, its skin section, the
// locked flag while forms are frozen for a skin change, the extended-border window and whether
// it draws a skinned border, both none and false while it draws nothing). It hooks its form's
// WindowProc for the end of the session: WM_QUERYENDSESSION stops every fade (sFade.h,
// EndSessionFades) and suppresses new ones, a WM_ENDSESSION that says the session goes on
// lets them run again.
//
// Only a form can own a provider: any other owner is refused with EAbort "TsSkinProvider
// component may be used with forms only!" (silent in the application's message display).
#pragma once

#include <memory>
#include <string>

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/base/Classes.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sHooks.h"

class TsSkinProvider;
// The layered window of extended borders, made by window skinning.
class TvxBorderForm;

// The extra text of a skinned title bar and its font (colour clNone when made).
class TvxAddedTitle : public TObject {
    GUI_CLASS(TvxAddedTitle, TObject)
    explicit TvxAddedTitle(TsSkinProvider& owner);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text) { text_ = text; }
    TFont& Font() { return font_; }
    TsSkinProvider& Owner() const { return owner_; }

private:
    TsSkinProvider& owner_;
    std::string text_;
    TFont font_;
};

class TsSkinProvider : public TComponent, public TsFormProviderState {
    GUI_CLASS(TsSkinProvider, TComponent)
    // owner: the form; EAbort for anything else. The form joins the skinned-forms list
    // (sStyleSimply.h) and leaves it with the provider.
    explicit TsSkinProvider(TComponent* owner);
    ~TsSkinProvider() override;
    // The provider a form carries, or none.
    static TsSkinProvider* Of(TForm* form);

    TForm* Form() const { return form_; }
    // The skin link of the form (control kind 224).
    TsCommonData& SkinData() { return *skinData_; }
    // The skin section of the form's frame ("FORM" unless a description sets another).
    const std::string& SkinSection() const { return skinData_->SkinSection(); }
    void SetSkinSection(const std::string& section) { skinData_->SetSkinSection(section); }
    TvxAddedTitle& AddedTitle() { return addedTitle_; }
    // With skinned popup menus, the skinned system menu offers the skins.
    bool MakeSkinMenu() const { return makeSkinMenu_; }
    void SetMakeSkinMenu(bool v) { makeSkinMenu_ = v; }

    // The manager of its skin link: its own, else the default manager.
    TsSkinManager* SkinManager() const override;
    // Set while the form is frozen for a skin change.
    bool Locked() const { return locked_; }
    void SetLocked(bool v) override { locked_ = v; }
    // The window that receives the provider's region while extended borders are in force; none.
    TvxBorderForm* BorderForm() const { return borderForm_; }
    HWND BorderWindow() const override { return nullptr; }
    void ApplyRegionToBorder() override {}
    void RefreshBorder(int) override {}
    // The provider draws a skinned border; false.
    bool OwnBorder() const override { return ownBorder_; }

    // A message handler that does nothing.
    void EmptyHandler(TMessage& message);
    // Rebuilds the region parts of the skinned border from the skin's border masks: there is no
    // skinned border, so there are none.
    void PrepareRgnParts() override;
    // Applies the window region of the skinned border: nothing while the form is not skinned.
    void UpdateFormRgn() override;
    TForm* ProviderForm() const override { return form_; }

    // SkinData.SkinSection, MakeSkinMenu, AddedTitle.Text, AddedTitle.Font.*, TitleButtons (an
    // empty collection: the form has no title buttons of its own).
    void SetProperty(const std::string& name, const TPropValue& value) override;

private:
    TForm* form_;
    std::unique_ptr<TsCommonData> skinData_;
    TvxAddedTitle addedTitle_;
    bool makeSkinMenu_ = false;
    bool locked_ = false;
    TvxBorderForm* borderForm_ = nullptr;
    bool ownBorder_ = false;
    int hookId_ = 0;
};
