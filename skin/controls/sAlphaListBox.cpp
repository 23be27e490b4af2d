#include "skin/controls/sAlphaListBox.h"

#include <algorithm>

#include "gui/Messages.h"
#include "gui/base/Exceptions.h"
#include "skin/windows/vxEditWnd.h"

TsAlphaListBox::~TsAlphaListBox() { FreeAdapter(); }

void TsAlphaListBox::FreeAdapter()
{
    delete adapter_;
    adapter_ = nullptr;
}

void TsAlphaListBox::RefreshAdapter()
{
    if (!HandleAllocated() || !Showing()) return;
    RefreshEditScrolls(&SkinData(), adapter_);
}

void TsAlphaListBox::SetCount(int /*count*/)
{
    throw EInvalidOperation("Listbox (" + Name() + ") style must be virtual in order to set Count");
}

void TsAlphaListBox::CreateWnd()
{
    TsLinkedControl::CreateWnd();
    ApplySkinColumnWidth();
}

void TsAlphaListBox::ApplySkinColumnWidth()
{
    if (!HandleAllocated() || Columns() < 1 || Width() < 1) return;
    const int width = std::max(1, (Width() + Columns() - 3) / Columns());
    SendMessageA(handle_, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(width), 0);
}

bool TsAlphaListBox::SearchKey(char key)
{
    if (key == VK_RETURN || key == VK_ESCAPE) return false;
    const DWORD now = GetTickCount();
    if (now - lastKey_ >= static_cast<DWORD>(AutoCompleteDelay)) typed_.clear();
    lastKey_ = now;
    if (key == VK_BACK) {
        if (!typed_.empty()) typed_.pop_back();
    } else {
        typed_ += key;
    }
    int found = 0;
    if (!typed_.empty()) {
        found = static_cast<int>(
            SendMessageA(handle_, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed_.c_str())));
        if (found == LB_ERR) return key != VK_BACK;
    }
    if (found != ItemIndex()) {
        if (MultiSelect()) {
            SendMessageA(handle_, LB_SETSEL, FALSE, -1);
            SendMessageA(handle_, LB_SETSEL, TRUE, found);
        }
        SetItemIndex(found);
        Click();
    }
    return key != VK_BACK;
}

void TsAlphaListBox::WndProc(TMessage& m)
{
    if (m.Msg == SM_VELOCONCMD && AcceptSkinCommand(m) && FromOwnManager(SkinData(), m.LParam)) {
        const WORD command = HIWORD(m.WParam);
        if (command == cmdRemoveSkin) {
            FreeAdapter();
            TsLinkedControl::WndProc(m);
            if (!SkinData().CustomColor()) SetColor(clWindow);
            if (!SkinData().CustomFont()) Font().SetColor(clWindowText);
            if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        }
        if (command == cmdRefresh) {
            TsLinkedControl::WndProc(m);
            RefreshAdapter();
            if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        }
    }
    if (m.Msg == WM_CHAR && AutoComplete && HandleAllocated()) {
        // The key press event sees the key first and may take it or change it.
        char key = static_cast<char>(m.WParam);
        if (OnKeyPress) OnKeyPress(this, key);
        m.Result = 0;
        if (!key || SearchKey(key)) return;
        m.WParam = static_cast<unsigned char>(key);
        DefaultHandler(m);
        return;
    }
    TsLinkedControl::WndProc(m);
    switch (m.Msg) {
    case WM_SIZE:
    case CM_ENABLEDCHANGED:
        ApplySkinColumnWidth();
        break;
    case CM_SHOWINGCHANGED:
        RefreshAdapter();
        break;
    default:
        break;
    }
}

void TsAlphaListBox::SetItemIndex(int index)
{
    const int before = ItemIndex();
    if (index == before) return;
    TListBox::SetItemIndex(index);
    if (!HandleAllocated() || before < 0 || before >= Count()) return;
    const RECT r = ItemRect(before);
    RedrawWindow(handle_, &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}
