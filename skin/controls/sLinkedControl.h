// The skin link of a skinned control: TsLinkedControl<Base, Kind> is the class-library control
// Base with its own TsCommonData (with a cache bitmap, control-kind code Kind), published as
// SkinData. Every message passes through the link's common handling first; the link's loaded
// step follows the control's.
//
//   class TsEdit : public TsLinkedControl<TEdit, 3> { ... };
//   edit->SkinData().SetSkinSection("EDIT");
#pragma once

#include <memory>

#include "gui/Controls.h"
#include "skin/engine/sCommonData.h"

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
        if (!HandleControlMessage(m, *skinData_)) Base::WndProc(m);
    }

private:
    std::unique_ptr<TsCommonData> skinData_;
};
