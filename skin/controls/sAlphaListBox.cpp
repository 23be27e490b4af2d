#include "skin/controls/sAlphaListBox.h"

#include <algorithm>
#include <cstring>

#include "gui/Forms.h"
#include "gui/Messages.h"
#include "gui/base/Exceptions.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sColorMix.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxEditWnd.h"
#include "skin/windows/vxMainWnd.h"
#include "skin/windows/vxScrollWnd.h"

namespace {
constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;
} // namespace

TsAlphaListBox::TsAlphaListBox(TComponent* owner)
    : TsLinkedControl(owner), boundLabel_(std::make_unique<TsBoundLabel>(&SkinData())), disabledKind_(dkBlended)
{}

TsAlphaListBox::~TsAlphaListBox()
{
    FreeAdapter();
    boundLabel_.reset();
}

void TsAlphaListBox::SetAutoHideScroll(bool on)
{
    if (on == autoHideScroll_) return;
    autoHideScroll_ = on;
    StyleChanged();
}

void TsAlphaListBox::CreateParams(TCreateParams& p)
{
    TsLinkedControl::CreateParams(p);
    // Both bars may show (a column list scrolls sideways only).
    p.style |= WS_HSCROLL;
    if (Columns() == 0) p.style |= WS_VSCROLL;
    if (!autoHideScroll_) p.style |= LBS_DISABLENOSCROLL;
}

void TsAlphaListBox::SetUpdateState(bool updating)
{
    SkinData().Updating = updating;
    if (!updating && HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, kRedrawAll | RDW_UPDATENOW);
}

void TsAlphaListBox::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "DisabledKind"))
        SetDisabledKind((v.Has("dkBlended") ? dkBlended : 0u) | (v.Has("dkGrayed") ? dkGrayed : 0u));
    else if (SameText(name, "AutoHideScroll")) SetAutoHideScroll(v.AsBool());
    else if (SameText(name, "AutoComplete")) AutoComplete = v.AsBool();
    else if (SameText(name, "ScrollWidth")) SetScrollWidth(v.AsInt());
    else if (SameText(name, "AutoCompleteDelay")) AutoCompleteDelay = v.AsInt();
    else if (!boundLabel_->SetProperty(name, v, activateLabel_)) TsLinkedControl::SetProperty(name, v);
}

void TsAlphaListBox::Loaded()
{
    TsLinkedControl::Loaded();
    if (activateLabel_) boundLabel_->SetActive(true);
}

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

int TsAlphaListBox::ScrollWidth() const
{
    return handle_ ? static_cast<int>(SendMessageA(handle_, LB_GETHORIZONTALEXTENT, 0, 0)) : scrollWidth_;
}

void TsAlphaListBox::SetScrollWidth(int width)
{
    if (width == ScrollWidth()) return;
    scrollWidth_ = width;
    if (handle_) SendMessageA(handle_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
}

void TsAlphaListBox::CreateWnd()
{
    TsLinkedControl::CreateWnd();
    if (scrollWidth_ > 0) SendMessageA(handle_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(scrollWidth_), 0);
}

void TsAlphaListBox::ApplyColumnWidth()
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
        found = IsVirtual() ? (OnDataFind ? OnDataFind(this, typed_) : LB_ERR)
                            : static_cast<int>(SendMessageA(handle_, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                                            reinterpret_cast<LPARAM>(typed_.c_str())));
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
    TsCommonData& link = SkinData();
    if (m.Msg == SM_VELOCONCMD && AcceptSkinCommand(m)) {
        switch (HIWORD(m.WParam)) {
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdGetApplication:
            m.Result = reinterpret_cast<LRESULT>(Application);
            return;
        case cmdUpdateEnded:
            if (link.Updating) {
                link.Updating = false;
                if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, kRedrawAll);
            }
            return;
        case cmdRemoveSkin:
            if (!FromOwnManager(link, m.LParam)) break;
            FreeAdapter();
            TsLinkedControl::WndProc(m);
            if (!link.CustomColor()) SetColor(clWindow);
            if (!link.CustomFont()) Font().SetColor(clWindowText);
            if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, kRedrawAll);
            return;
        case cmdRefresh:
            if (!FromOwnManager(link, m.LParam)) break;
            TsLinkedControl::WndProc(m);
            RefreshAdapter();
            // A list that does not show now (its form frozen for the change, or hidden) is
            // painted when it shows.
            if (HandleAllocated() && IsWindowVisible(handle_)) RedrawWindow(handle_, nullptr, nullptr, kRedrawAll);
            return;
        default:
            break;
        }
    }
    if ((m.Msg == LB_GETTEXT || m.Msg == LB_GETTEXTLEN) && IsVirtual()) {
        // A virtual box keeps no texts: the data event gives them.
        const std::string text = LineText(static_cast<int>(m.WParam));
        if (m.Msg == LB_GETTEXT && m.LParam) memcpy(reinterpret_cast<char*>(m.LParam), text.c_str(), text.size() + 1);
        m.Result = static_cast<LRESULT>(text.size());
        return;
    }
    if (m.Msg == CN_DRAWITEM) {
        DrawItemMessage(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
        m.Result = 1;
        return;
    }
    if (m.Msg == WM_PRINT && PrintDC && m.WParam) {
        Print(reinterpret_cast<HDC>(m.WParam));
        m.Result = 1;
        return;
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
    const bool skinned = ControlIsReady(this) && link.Skinned();
    if (skinned && !SkinnedWndProc(m)) return;
    TsLinkedControl::WndProc(m);
    switch (m.Msg) {
    case WM_SIZE:
    case CM_ENABLEDCHANGED:
        ApplyColumnWidth();
        break;
    case CM_SHOWINGCHANGED:
        RefreshAdapter();
        break;
    case WM_WINDOWPOSCHANGING:
        if (skinned && link.BGChanged && HandleAllocated())
            RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
        break;
    case LB_SETCURSEL:
        if (adapter_) UpdateScrolls(adapter_, true);
        break;
    case CM_COLORCHANGED:
        if (skinned) link.UpdateControlColors();
        break;
    default:
        break;
    }
    boundLabel_->FollowControl(m.Msg, disabledKind_);
}

bool TsAlphaListBox::SkinnedWndProc(TMessage& m)
{
    TsCommonData& link = SkinData();
    switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGING:
        if (!InState(csLoading) && !InState(csCreating)) link.BGChanged = true;
        break;
    case WM_PAINT:
        // Nothing is drawn while the engine locks repainting; the window counts as painted,
        // or it would ask again at once.
        if (RepaintLocked) {
            if (!m.WParam) ValidateRect(handle_, nullptr);
            return false;
        }
        break;
    case WM_PRINTCLIENT:
    case WM_ERASEBKGND:
        if (RepaintLocked) {
            m.Result = m.Msg == WM_ERASEBKGND ? 1 : 0;
            return false;
        }
        break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
        link.BGChanged = true;
        break;
    default:
        break;
    }
    return true;
}

void TsAlphaListBox::DrawItemMessage(const DRAWITEMSTRUCT& draw)
{
    TsCommonData& link = SkinData();
    link.Updating = link.GetUpdating();
    if (link.Updating && link.Skinned()) return;
    if (Count() == 0) return;
    TCanvas& canvas = ItemCanvas();
    canvas.Font() = Font();
    canvas.Brush().SetColor(Color());
    canvas.SetHandle(draw.hDC);
    const int index = static_cast<int>(draw.itemID);
    if ((!IsOwnerDraw() || !OnDrawItem) && index >= 0 &&
        ((draw.itemState & ODS_SELECTED) || (index == ItemIndex() && !Focused()))) {
        canvas.Brush().SetColor(clHighlight);
        canvas.Font().SetColor(clHighlightText);
    } else if (!link.CustomFont()) {
        canvas.Font().SetColor(Enabled() ? Font().Color() : AverageColor(Font().Color(), Color()));
    }
    DrawItem(index, draw.rcItem, draw.itemState);
    canvas.SetHandle(nullptr);
}

void TsAlphaListBox::RepaintItem(int index, HDC dc)
{
    RECT r = ItemRect(index);
    if (!RectVisible(dc, &r)) return;
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTBOX;
    draw.CtlID = static_cast<UINT>(GetDlgCtrlID(handle_));
    draw.itemID = static_cast<UINT>(index);
    draw.itemAction = ODA_DRAWENTIRE;
    if (MultiSelect() && SendMessageA(handle_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0)
        draw.itemState |= ODS_SELECTED;
    if (Focused() && index == ItemIndex()) draw.itemState |= ODS_SELECTED | ODS_FOCUS;
    draw.hwndItem = handle_;
    draw.hDC = dc;
    draw.rcItem = r;
    draw.itemData = static_cast<ULONG_PTR>(SendMessageA(handle_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
}

void TsAlphaListBox::Print(HDC dc)
{
    TsCommonData& link = SkinData();
    const int saved = SaveDC(dc);
    POINT origin;
    GetWindowOrgEx(dc, &origin);
    SetWindowOrgEx(dc, origin.x - 2, origin.y - 2, nullptr);
    RECT client;
    GetClientRect(handle_, &client);
    const HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    int width = link.FCacheBmp && link.FCacheBmp->Width() > 0 ? link.FCacheBmp->Width() : Width();
    int height = link.FCacheBmp && link.FCacheBmp->Height() > 0 ? link.FCacheBmp->Height() : Height();
    if (adapter_ && adapter_->VertBar->Visible) width -= GetScrollMetric(adapter_->VertBar.get(), true, true);
    if (adapter_ && adapter_->HorzBar->Visible) height -= GetScrollMetric(adapter_->HorzBar.get(), true, true);
    IntersectClipRect(dc, 0, 0, width - 4, height - 4);
    for (int i = Count() - 1; i >= 0; --i)
        RepaintItem(i, dc);
    RestoreDC(dc, saved);
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
