// TsBitBtn: the skinned bitmap button, used as TsButton is (caption, hint, visibility and
// enabled state through the button's properties); a form description names it "TsBitBtn". It
// derives from the class library's bitmap button TBitBtn, so the language loader's rows for
// TBitBtn and TsBitBtn both apply to it. Its picture and skinned drawing come with the skinned
// controls.
#pragma once

#include "gui/StdCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsBitBtn : public TsLinkedControl<TBitBtn, 94> {
    GUI_CLASS(TsBitBtn, TBitBtn)
    explicit TsBitBtn(TComponent* owner) : TsLinkedControl(owner) {}
};

// The empty routine the skin manager calls at fixed points (after construction, in Loaded,
// after a new skin name, around its broadcasts): it does nothing.
void StubProc();
