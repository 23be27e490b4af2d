#include "skin/windows/sSysMenu.h"

#include "gui/Forms.h"
#include "skin/windows/sSkinProvider.h"

TsSystemMenu::TsSystemMenu(TsSkinProvider* provider)
    : TsCustomSysMenu(provider), provider_(provider), form_(provider->Form())
{
    SetName("SysMenu");
}

bool TsSystemMenu::Iconic() const { return form_->HandleAllocated() && IsIconic(form_->Handle()); }

bool TsSystemMenu::Zoomed() const { return form_->HandleAllocated() && IsZoomed(form_->Handle()); }

bool TsSystemMenu::VisibleClose() const { return provider_->SysMenuTaken(); }

bool TsSystemMenu::VisibleTitleIcon(unsigned icon) const
{
    if (!VisibleClose()) return false;
    if (Iconic()) return true;
    switch (form_->BorderStyle()) {
    case bsDialog:
    case bsNone:
    case bsToolWindow:
    case bsSizeToolWin:
        return false;
    default:
        return (form_->BorderIcons() & icon) != 0;
    }
}

bool TsSystemMenu::VisibleMax() const { return VisibleTitleIcon(biMaximize); }

bool TsSystemMenu::VisibleMin() const { return VisibleTitleIcon(biMinimize); }

bool TsSystemMenu::VisibleRestore() const
{
    if (!VisibleClose()) return false;
    const TFormBorderStyle s = form_->BorderStyle();
    return s != bsDialog && s != bsNone && s != bsToolWindow && s != bsSizeToolWin;
}

bool TsSystemMenu::VisibleSize() const
{
    const TFormBorderStyle s = form_->BorderStyle();
    return s != bsDialog && s != bsNone && s != bsToolWindow;
}

bool TsSystemMenu::EnabledMax() const
{
    const TFormBorderStyle s = form_->BorderStyle();
    return (form_->BorderIcons() & biMaximize) && !Zoomed() && (s == bsSingle || s == bsSizeable);
}

bool TsSystemMenu::EnabledMin() const { return (form_->BorderIcons() & biMinimize) && !Iconic(); }

bool TsSystemMenu::EnabledRestore() const
{
    return ((form_->BorderIcons() & biMaximize) && (Iconic() || Zoomed())) || Iconic();
}

bool TsSystemMenu::EnabledMove() const { return !Zoomed(); }

bool TsSystemMenu::EnabledSize() const { return form_->BorderStyle() != bsSingle && !Iconic(); }
