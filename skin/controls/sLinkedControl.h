// The skin link of a skinned control: TsLinkedControl<Base, Kind> is the class-library control
// Base with its own TsCommonData (with a cache bitmap, control-kind code Kind), published as
// SkinData. Every message passes through the link's common handling first; the link's loaded
// step follows the control's. A windowed control passes the manager's skin changes (commands
// 1, 2, 3 and 16) on to its children, as the broadcast does for plain containers.
//
//   class TsEdit : public TsLinkedControl<TEdit, 3> { ... };
//   edit->SkinData().SetSkinSection("EDIT");
//
// A form description sets the link's SkinData.SkinSection, SkinData.CustomColor and
// SkinData.CustomFont.
#pragma once

#include <memory>
#include <type_traits>

#include "gui/Controls.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sCommonData.h"
#include "skin/windows/sVclUtils.h"

// A property setter's first step: the value stored when it differs; true when it did.
template <class T> bool StoreIfChanged(T& field, const T& value)
{
    if (field == value) return false;
    field = value;
    return true;
}

template <class Base, int Kind> class TsLinkedControl : public Base {
public:
    explicit TsLinkedControl(TComponent* owner) : Base(owner), skinData_(std::make_unique<TsCommonData>(this, true))
    {
        skinData_->COC = Kind;
    }
    TsCommonData& SkinData() const { return *skinData_; }
    void Loaded() override
    {
        Base::Loaded();
        skinData_->Loaded();
    }
    void SetProperty(const std::string& name, const TPropValue& value) override
    {
        if (SameText(name, "SkinData.SkinSection")) skinData_->SetSkinSection(value.AsString());
        else if (SameText(name, "SkinData.CustomColor")) skinData_->SetCustomColor(value.AsBool());
        else if (SameText(name, "SkinData.CustomFont")) skinData_->SetCustomFont(value.AsBool());
        else Base::SetProperty(name, value);
    }

protected:
    void WndProc(TMessage& m) override
    {
        if (HandleControlMessage(m, *skinData_)) return;
        Base::WndProc(m);
        if constexpr (std::is_base_of_v<TWinControl, Base>) {
            const WORD command = HIWORD(m.WParam);
            if (m.Msg == SM_VELOCONCMD && this->ControlCount() > 0 &&
                (command == cmdSkinChanged || command == cmdRemoveSkin || command == cmdRefresh ||
                 command == cmdSkinChangeDone)) {
                TMessage children{m.Msg, m.WParam, m.LParam, 0};
                BroadcastToControls(this, children);
            }
        }
    }

private:
    std::unique_ptr<TsCommonData> skinData_;
};

// Whether a skin command's lParam names the link's own skin manager.
inline bool FromOwnManager(const TsCommonData& link, LPARAM lParam)
{
    return lParam != 0 && reinterpret_cast<const TsSkinManager*>(lParam) == link.GetSkinManager();
}

// A graphic control painted on a DC given with WM_PAINT (a container painting its graphic
// children into a DC of its own sends them that): the control's origin at the DC's origin.
inline void PaintGraphicControlOn(TGraphicControl& control, HDC dc)
{
    TCanvas canvas;
    canvas.SetHandle(dc);
    control.Paint(canvas);
    canvas.SetHandle(nullptr);
}
