#include "skin/controls/sAlphaListBox.h"

void TsAlphaListBox::SetItemIndex(int index)
{
    const int before = ItemIndex();
    if (index == before) return;
    TListBox::SetItemIndex(index);
    if (!HandleAllocated() || before < 0 || before >= Count()) return;
    const RECT r = ItemRect(before);
    RedrawWindow(handle_, &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}
