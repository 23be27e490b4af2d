#include "skin/controls/sCheckBox.h"

void TsCheckBox::SetChecked(bool v)
{
    // The box's look must follow a change made outside loading.
    const bool repaint = !InState(csLoading) && v != Checked();
    TCheckBox::SetChecked(v);
    if (repaint) Repaint();
}
