#include "skin/windows/sSkinProvider.h"

#include "gui/base/Exceptions.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/sFade.h"

namespace {

TForm* FormOwner(TComponent* owner)
{
    auto* form = dynamic_cast<TForm*>(owner);
    if (!form) throw EAbort("TsSkinProvider component may be used with forms only!");
    return form;
}

bool StartsWithText(const std::string& name, const std::string& prefix)
{
    return name.size() > prefix.size() && SameText(name.substr(0, prefix.size()), prefix);
}

} // namespace

TvxAddedTitle::TvxAddedTitle(TsSkinProvider& owner) : owner_(owner) { font_.SetColor(clNone); }

TsSkinProvider::TsSkinProvider(TComponent* owner)
    : TComponent(FormOwner(owner)), form_(static_cast<TForm*>(owner)), addedTitle_(*this)
{
    skinData_ = std::make_unique<TsCommonData>(this, false);
    skinData_->COC = 224;
    skinData_->SetSkinSection("FORM");
    AddProviderToList(form_);
    hookId_ = form_->HookWindowProc([](TMessage& m, const TWndMethod& inherited) {
        if (m.Msg == WM_QUERYENDSESSION) EndSessionFades();
        // The session goes on after all: fades run again.
        else if (m.Msg == WM_ENDSESSION && m.WParam == 0) SetFadesSuppressed(false);
        inherited(m);
    });
}

TsSkinProvider::~TsSkinProvider()
{
    // A form being destroyed has dropped its hooks already.
    if (!form_->InState(csDestroying)) form_->UnhookWindowProc(hookId_);
    RemoveProviderFromList(form_);
}

TsSkinProvider* TsSkinProvider::Of(TForm* form)
{
    if (!form) return nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* p = As<TsSkinProvider>(form->Components(i))) return p;
    return nullptr;
}

TsSkinManager* TsSkinProvider::SkinManager() const { return skinData_->GetSkinManager(); }

void TsSkinProvider::EmptyHandler(TMessage&) {}

void TsSkinProvider::PrepareRgnParts() {}

void TsSkinProvider::UpdateFormRgn() {}

void TsSkinProvider::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "SkinData.SkinSection")) SetSkinSection(v.AsString());
    else if (SameText(name, "MakeSkinMenu")) SetMakeSkinMenu(v.AsBool());
    else if (SameText(name, "AddedTitle.Text")) addedTitle_.SetText(v.AsString());
    else if (StartsWithText(name, "AddedTitle.Font.")) {
        if (!addedTitle_.Font().SetProperty(name.substr(16), v)) UnknownProperty(name);
    } else if (SameText(name, "TitleButtons")) {
        if (v.kind != TPropValue::Collection || !v.collection.empty())
            throw EComponentError("TitleButtons: eigene Titelknöpfe werden nicht unterstützt");
    } else TComponent::SetProperty(name, v);
}
