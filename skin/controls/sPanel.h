// TsPanel: the skinned panel (the register window's containers, the six VAT-rate fields
// USS1..USS6, the main window's Panel1). A TPanel in every respect: caption, visibility and
// enabled state through the panel's properties; a form description names it "TsPanel" and may
// place other controls in it. The language loader replaces its caption only by a non-empty
// text (as a panel's) and gives it its hint (as a skinned panel's), so a rate field keeps its
// rate when the language file has no caption for it.
#pragma once

#include "gui/ExtCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsPanel : public TsLinkedControl<TPanel, 51> {
    GUI_CLASS(TsPanel, TPanel)
    explicit TsPanel(TComponent* owner) : TsLinkedControl(owner) {}
};
