// The skin link of a skinned control: TsLinkedControl<Base, Kind> is the class-library control
// Base with its own TsCommonData (with a cache bitmap, control-kind code Kind), published as
// SkinData. Every message passes through the link's common handling first; the link's loaded
// step follows the control's. A windowed control passes the manager's skin changes (commands
// 1, 2, 3 and 16) on to its children, as the broadcast does for plain containers.
//
//   class TsEdit : public TsLinkedControl<TEdit, 3> { ... };
//   edit->SkinData().SetSkinSection("EDIT");
#pragma once

#include <memory>
#include <type_traits>

#include "gui/Controls.h"
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
