// The skinned combo box: its cache image (frame, button, edit text), its read-only filter, the
// drop-down list's adapter, its skin commands and hot tracking, and the bound label.
#include "skin/controls/sComboBox.h"

#include <optional>

#include "gui/Forms.h"
#include "gui/Messages.h"
#include "gui/base/SysUtils.h"
#include "skin/controls/sLabel.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sSectionPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxComboBoxWnd.h"
#include "skin/windows/vxGlow.h"

namespace {

constexpr int Frame = TvxComboBoxWnd::FrameWidth;
constexpr WORD cmdDroppedDown = 14;
constexpr UINT CB_SETMINVISIBLE_MSG = 0x1701;
// Where a subclassed child of the combo keeps its combo and the procedure it covered.
constexpr const char* ChildOwnerProperty = "TsComboBoxOwner";
constexpr const char* ChildPrevProperty = "TsComboBoxPrev";

const TIdentEntry kAlignments[] = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};

void ValidateOnly(HWND wnd) { TPaintDC paint(wnd); }

// The keys that change a read-only combo's value or open its list: space, the page, end, home
// and arrow keys, digits and letters (typed search), F4.
bool ValueKey(WPARAM key)
{
    return (key >= 32 && key <= 40) || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || key == VK_F4;
}

bool ChildEditMessage(UINT msg)
{
    switch (msg) {
    case CN_KEYDOWN:
    case CN_CHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYUP:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
        return true;
    default:
        return false;
    }
}

void SubclassChild(HWND child, TsCustomComboBox* owner, WNDPROC proc)
{
    if (!child || GetPropA(child, ChildOwnerProperty)) return;
    SetPropA(child, ChildOwnerProperty, owner);
    SetPropA(child, ChildPrevProperty,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc))));
}

} // namespace

LRESULT CALLBACK ComboChildProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* owner = static_cast<TsCustomComboBox*>(GetPropA(wnd, ChildOwnerProperty));
    const auto prev = reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(GetPropA(wnd, ChildPrevProperty)));
    if (msg == WM_NCDESTROY) {
        RemovePropA(wnd, ChildOwnerProperty);
        RemovePropA(wnd, ChildPrevProperty);
        if (prev) SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
    } else if (owner) {
        TMessage m{msg, wParam, lParam, 0};
        if (owner->ChildMessage(wnd, m)) return m.Result;
    }
    return prev ? CallWindowProcA(prev, wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
}

TsCustomComboBox::TsCustomComboBox(TComponent* owner)
    : TsLinkedControl(owner), disabledKind_(dkBlended), boundLabel_(std::make_unique<TsBoundLabel>(&SkinData()))
{
    SkinData().SetSkinSection("COMBOBOX");
    SetDropDownCount(16);
}

TsCustomComboBox::~TsCustomComboBox()
{
    FreeListAdapter();
    boundLabel_.reset();
}

void TsCustomComboBox::SetAlignment(TAlignment a)
{
    if (a == alignment_) return;
    alignment_ = a;
    SkinData().Invalidate();
}

void TsCustomComboBox::SetDisabledKind(unsigned kinds)
{
    if (kinds == disabledKind_) return;
    disabledKind_ = kinds;
    SkinData().Invalidate();
}

void TsCustomComboBox::SetDropDownCount(int count)
{
    TsLinkedControl::SetDropDownCount(count);
    SetMinVisible();
}

void TsCustomComboBox::SetMinVisible()
{
    const TsWindowSkinningHooks& hooks = WindowSkinningHooks();
    if (HandleAllocated() && hooks.ThemesEnabled && hooks.ThemesEnabled())
        SendMessageA(Handle(), CB_SETMINVISIBLE_MSG, static_cast<WPARAM>(DropDownCount()), 0);
}

void TsCustomComboBox::FreeListAdapter()
{
    // The list gets its own frame back (the adapter drew it as a sizing frame).
    if (listAdapter_ && listWnd_ && IsWindow(listWnd_)) {
        const LONG_PTR style = GetWindowLongPtrA(listWnd_, GWL_STYLE);
        SetWindowLongPtrA(listWnd_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER);
    }
    delete listAdapter_;
    listAdapter_ = nullptr;
    listWnd_ = nullptr;
}

RECT TsCustomComboBox::ButtonRect() const
{
    const int w = Style() != csSimple && showButton_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int left = UseRightToLeftAlignment() ? 2 : Width() - w - 3;
    return RECT{left, 2, left + w, Height() - 2};
}

int TsCustomComboBox::State() const { return SkinData().ControlIsActive() ? 1 : 0; }

bool TsCustomComboBox::FocusInside()
{
    if (!HandleAllocated()) return false;
    const HWND focus = GetFocus();
    return focus && (focus == Handle() || GetParent(focus) == Handle());
}

bool TsCustomComboBox::FocusedLook() { return SkinData().Focused || FocusInside(); }

void TsCustomComboBox::TakeSectionColors()
{
    TsCommonData& link = SkinData();
    if (!link.Skinned()) return;
    const TsGeneralData& g = link.GetSkinManager()->GeneralData[static_cast<size_t>(link.SkinIndex)];
    if (!link.CustomColor() && Color() != g.Color) SetColor(g.Color);
    if (!link.CustomFont() && Font().Color() != g.FontColor[1]) Font().SetColor(g.FontColor[1]);
}

void TsCustomComboBox::PrepareCache()
{
    TsCommonData& link = SkinData();
    link.InitCacheBmp();
    TBitmap* cache = link.FCacheBmp.get();
    const int h = Style() == csSimple && HandleAllocated()
                      ? static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0)) + 8
                      : Height();
    cache->SetSize(Width(), std::max(0, h));
    TsCacheInfo parent;
    GetParentCacheInfo(&link, parent);
    PaintItem(link.Fields(), parent, true, State(), cache, TPoint{}, TRect{0, 0, cache->Width(), cache->Height()});
    if (Style() != csSimple) PaintButton();
    if (Style() != csSimple && !IsOwnerDraw()) PaintEditText();
    if (IsOwnerDraw()) DrawOwnerEditArea();
    if (!Enabled()) ApplyDisabledKind(cache, disabledKind_, TPoint{}, parent, AskControlColor(Parent()));
    link.BGChanged = false;
    link.CacheDirty = false;
}

void TsCustomComboBox::DrawOwnerEditArea()
{
    if (!Enabled() && !CustomDrawn()) return;
    const RECT b = ButtonRect();
    TOwnerDrawState state = ODS_COMBOBOXEDIT;
    if (FocusedLook()) state |= ODS_FOCUS | ODS_SELECTED;
    TCanvas& canvas = Canvas();
    const HDC before = canvas.Handle();
    canvas.SetHandle(SkinData().FCacheBmp->Canvas().Handle());
    DrawItem(ItemIndex(), RECT{Frame, Frame, b.left - 1, Height() - Frame}, state);
    canvas.SetHandle(before);
}

void TsCustomComboBox::PaintButton()
{
    TBitmap* cache = SkinData().FCacheBmp.get();
    if (!cache || cache->Empty()) return;
    std::unique_ptr<TBitmap> background = CreateBitmapLike(cache);
    BitBlt(background->Canvas().Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas().Handle(), 0, 0,
           SRCCOPY);
    PaintComboButton(cache, background.get(), ButtonRect(), buttonPressed_ ? 2 : State(), SkinData().GetSkinManager(),
                     Height());
}

void TsCustomComboBox::PaintEditText()
{
    TBitmap* cache = SkinData().FCacheBmp.get();
    if (!cache || cache->Empty()) return;
    const RECT b = ButtonRect();
    const bool rtl = UseRightToLeftAlignment();
    RECT r = rtl ? RECT{b.right - b.left + 4, Frame, Width() - 2, Height() - Frame}
                 : RECT{Frame, Frame, b.left - 1, Height() - Frame};
    const bool focus = FocusedLook() && Style() == csDropDownList && Enabled();
    TCanvas& canvas = cache->Canvas();
    canvas.Font() = Font();
    if (focus) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clHighlight);
        canvas.FillRect(r);
        canvas.Font().SetColor(clHighlightText);
    }
    canvas.Brush().SetStyle(bsClear);
    const std::string text = Text();
    if (!text.empty()) {
        RECT t = r;
        if (Style() != csDropDown) OffsetRect(&t, 1, 0);
        else t.bottom -= 1;
        TAlignment a = alignment_;
        if (rtl && a != taCenter) a = a == taLeftJustify ? taRightJustify : taLeftJustify;
        UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER;
        flags |= a == taCenter ? DT_CENTER : a == taRightJustify ? DT_RIGHT : DT_LEFT;
        if (rtl) flags |= DT_RTLREADING;
        SetBkMode(canvas.Handle(), TRANSPARENT);
        SetTextColor(canvas.Handle(), ColorToRGB(canvas.Font().Color()));
        DrawTextA(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &t, flags);
    }
    if (focus) DrawFocusRect(canvas.Handle(), &r);
}

void TsCustomComboBox::PaintControl(HDC dc)
{
    TsCommonData& link = SkinData();
    if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
    link.Updating = link.GetUpdating();
    if (link.Updating || (RepaintLocked && dc != PrintDC)) return;
    std::optional<TWindowDC> window;
    if (!dc) {
        window.emplace(Handle(), true);
        dc = window->get();
    }
    bool partly = false;
    if (Parent()) {
        const RECT b = BoundsRect();
        partly = b.left < 0 || b.top < 0 || b.right > Parent()->ClientWidth() || b.bottom > Parent()->ClientHeight();
    }
    link.PartlyHidden = partly;
    // An owner-drawn edit area is drawn into the cache: each paint starts from a fresh one.
    link.BGChanged =
        link.BGChanged || partly || (Parent() && AskControl(Parent(), cmdGetPartlyHidden) != 0) || IsOwnerDraw();
    TBitmap* cache = link.FCacheBmp.get();
    if (link.BGChanged || link.CacheDirty || !cache || cache->Width() != Width()) PrepareCache();
    cache = link.FCacheBmp.get();
    if (!cache || cache->Empty()) return;
    FillParentCorners(link.Fields(), State());
    const HDC src = cache->Canvas().Handle();
    const bool whole =
        !Enabled() || Style() == csDropDownList || IsOwnerDraw() || (Style() == csDropDown && !FocusedLook());
    if (whole) {
        BitBlt(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
        return;
    }
    CopyFrameFromDC(dc, 0, 0, Frame, 0, 0, src, cache->Height(), cache->Width());
    if (Style() == csDropDown) {
        const RECT b = ButtonRect();
        BitBlt(dc, b.left, b.top, b.right - b.left, b.bottom - b.top, src, b.left, b.top, SRCCOPY);
    }
}

void TsCustomComboBox::DrawItemContent(int index, const RECT& rect, TOwnerDrawState state)
{
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    // Every entry shows its text, also while nothing is selected (an empty Text).
    if (index < 0 || index >= Items().Count()) return;
    const int s = Style() == csDropDown ? 0 : 1;
    TCanvas& canvas = Canvas();
    SetBkMode(canvas.Handle(), TRANSPARENT);
    canvas.TextRect(rect, rect.left + s, rect.top + s, Items().Get(index));
}

void TsCustomComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    TCanvas& canvas = Canvas();
    const bool custom = CustomDrawn();
    const bool selected = (state & (ODS_SELECTED | ODS_FOCUS)) != 0;
    canvas.Font() = Font();
    canvas.Brush().SetStyle(bsSolid);
    if (!SkinData().Skinned() || !(state & ODS_COMBOBOXEDIT)) {
        if (selected) {
            canvas.Brush().SetColor(clHighlight);
            canvas.Font().SetColor(clHighlightText);
        } else {
            canvas.Brush().SetColor(ColorToRGB(Color()));
            if (!Enabled()) canvas.Font().SetColor(clBtnShadow);
        }
        if (!selected || !custom) canvas.FillRect(rect);
        DrawItemContent(index, rect, state);
        return;
    }
    TBitmap* cache = SkinData().FCacheBmp.get();
    if (!custom && cache && !cache->Empty() && canvas.Handle() != cache->Canvas().Handle())
        BitBlt(canvas.Handle(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               cache->Canvas().Handle(), rect.left, rect.top, SRCCOPY);
    if ((!Enabled() && !custom) || readOnly_) return;
    if (buttonPressed_) {
        canvas.Brush().SetStyle(bsClear);
        DrawItemContent(index, rect, state);
        if (state & ODS_FOCUS) DrawFocusRect(canvas.Handle(), &rect);
        return;
    }
    const bool focused = FocusedLook();
    if (custom) {
        canvas.Brush().SetColor(focused ? clHighlight : Color());
        if (focused) canvas.Font().SetColor(clHighlightText);
        OnDrawItem(this, index, rect, state);
        return;
    }
    if (!selected && !focused) return;
    canvas.Brush().SetColor(clHighlight);
    canvas.FillRect(rect);
    canvas.Font().SetColor(clHighlightText);
    DrawItemContent(index, rect, state);
}

bool TsCustomComboBox::DrawEditItem(TMessage& m)
{
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    if (!SkinData().Skinned() || !(draw.itemState & ODS_COMBOBOXEDIT)) return false;
    TBitmap* cache = SkinData().FCacheBmp.get();
    const bool focusedItem = (draw.itemState & (ODS_SELECTED | ODS_FOCUS)) && FocusedLook();
    if (!buttonPressed_ && !focusedItem && cache && !cache->Empty()) {
        BitBlt(draw.hDC, 0, 0, Width(), Height(), cache->Canvas().Handle(), 0, 0, SRCCOPY);
    } else {
        TCanvas& canvas = Canvas();
        canvas.SetHandle(draw.hDC);
        DrawItem(static_cast<int>(draw.itemID), draw.rcItem, draw.itemState);
        canvas.SetHandle(nullptr);
    }
    m.Result = 1;
    return true;
}

bool TsCustomComboBox::ChildMessage(HWND child, TMessage& m)
{
    // The edit opens the list itself on Alt+Up/Down and F4, past the combo's own filter.
    if (readOnly_ && (ChildEditMessage(m.Msg) || (m.Msg == WM_SYSKEYDOWN && ValueKey(m.WParam)))) return true;
    if (!SkinData().Skinned() || Style() == csSimple) return false;
    const bool live = FocusedLook() && Enabled() && !readOnly_;
    if (live) return false;
    switch (m.Msg) {
    case WM_PAINT:
        ValidateOnly(child);
        return true;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        m.Result = 1;
        return true;
    default:
        return false;
    }
}

bool TsCustomComboBox::ReadOnlyDrops(TMessage& m)
{
    if (!readOnly_) return false;
    switch (m.Msg) {
    case WM_CHAR:
        return true;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR:
        if (!ValueKey(m.WParam)) return false;
        m.Result = 1; // consumed: the window never sees the key
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
        return ValueKey(m.WParam);
    case WM_COMMAND:
        return true;
    case CN_COMMAND:
        return HIWORD(m.WParam) == CBN_DROPDOWN;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (CanFocus()) SetFocus();
        if (m.Msg == WM_LBUTTONDBLCLK && OnDblClick) OnDblClick(this);
        return true;
    default:
        return false;
    }
}

void TsCustomComboBox::WndProc(TMessage& m)
{
    TsCommonData& link = SkinData();
    if (m.Msg == SM_VELOCONCMD) {
        switch (HIWORD(m.WParam)) {
        case cmdSkinChanged:
            if (!FromOwnManager(link, m.LParam)) break;
            HandleSkinCommand(m, link);
            if (listAdapter_) {
                TMessage copy{m.Msg, m.WParam, m.LParam, 0};
                listAdapter_->WndProc(copy);
            }
            return;
        case cmdRemoveSkin:
            if (!FromOwnManager(link, m.LParam)) break;
            HandleSkinCommand(m, link);
            if (!link.CustomColor()) SetColor(clWindow);
            if (!link.CustomFont()) Font().SetColor(clWindowText);
            FreeListAdapter();
            if (HandleAllocated()) RecreateWnd();
            return;
        case cmdRefresh:
            if (!FromOwnManager(link, m.LParam)) break;
            HandleSkinCommand(m, link);
            TakeSectionColors();
            // A box that does not show now (its form frozen for the change, or hidden) is
            // painted when it shows.
            if (HandleAllocated() && IsWindowVisible(Handle())) Repaint();
            return;
        case cmdUpdateEnded:
            if (!link.Updating) break;
            link.Updating = false;
            Repaint();
            return;
        case cmdIsSkinned:
            m.Result = 1;
            return;
        case cmdMouseLeave:
            if (HandleAllocated()) SendMessageA(Handle(), CM_MOUSELEAVE, 0, 0);
            break;
        case cmdGetApplication:
            m.Result = reinterpret_cast<LRESULT>(Application);
            return;
        default:
            break;
        }
    }
    if (ReadOnlyDrops(m)) return;
    if (!ControlIsReady(this) || !link.Skinned()) TsLinkedControl::WndProc(m);
    else if (!SkinnedWndProc(m)) return;
    FollowBoundLabel(m);
}

bool TsCustomComboBox::SkinnedWndProc(TMessage& m)
{
    TsCommonData& link = SkinData();
    switch (m.Msg) {
    case WM_PRINT:
        link.Updating = false;
        PaintControl(reinterpret_cast<HDC>(m.WParam));
        return false;
    case WM_PAINT: {
        TPaintDC paint(Handle());
        if (!RepaintLocked) PaintControl(reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return false;
    }
    case WM_NCPAINT:
        if (RepaintLocked) PaintControl(nullptr);
        m.Result = 0;
        return false;
    case WM_SETFOCUS:
    case CM_ENTER:
        if (CanFocus()) {
            link.Focused = true;
            link.MouseAbove = false;
            link.BGChanged = true;
        }
        TComboBox::WndProc(m);
        return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
        if (buttonPressed_) SendMessageA(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
        link.Focused = false;
        link.MouseAbove = false;
        link.BGChanged = true;
        Repaint();
        TComboBox::WndProc(m);
        return true;
    case WM_COMMAND:
        buttonPressed_ = false;
        PaintControl(nullptr);
        break;
    case CN_COMMAND:
        if (HIWORD(m.WParam) == CBN_DROPDOWN) {
            // The pressed button is drawn from a new cache.
            buttonPressed_ = true;
            link.BGChanged = true;
            PaintControl(nullptr);
        } else if (HIWORD(m.WParam) == CBN_CLOSEUP) {
            buttonPressed_ = false;
            link.BGChanged = true;
            PaintControl(nullptr);
        }
        break;
    case WM_CTLCOLORLISTBOX:
        if (!InState(csLoading) && !listAdapter_ && Items().Count() > DropDownCount()) {
            listWnd_ = reinterpret_cast<HWND>(m.LParam);
            listAdapter_ =
                TvxComboListWnd::CreateEx(listWnd_, Style() == csSimple, true, "EDIT", link.GetSkinManager(), nullptr);
        }
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        MouseEnterLeave(m);
        return true;
    case CN_DRAWITEM:
        if (DrawEditItem(m)) return true;
        break;
    case WM_SETFONT:
    case CM_BIDIMODECHANGED:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_MOUSEWHEEL:
        link.BGChanged = true;
        break;
    default:
        break;
    }
    TsLinkedControl::WndProc(m);
    if (m.Msg == SM_VELOCONCMD && HIWORD(m.WParam) == cmdDroppedDown) m.Result = buttonPressed_ ? 1 : 0;
    switch (m.Msg) {
    case CB_SETCURSEL:
    case CM_TEXTCHANGED:
    case CM_CHANGED:
        link.BGChanged = true;
        Repaint();
        break;
    default:
        break;
    }
    return true;
}

void TsCustomComboBox::MouseEnterLeave(TMessage& m)
{
    TsCommonData& link = SkinData();
    if (buttonPressed_) {
        TComboBox::WndProc(m);
        return;
    }
    const bool entering = m.Msg == CM_MOUSEENTER;
    if (!entering) {
        POINT p;
        RECT r;
        GetCursorPos(&p);
        GetWindowRect(Handle(), &r);
        if (PtInRect(&r, p)) return;
    } else {
        if (link.MouseAbove) return;
        if (TsSkinManager* manager = link.GetSkinManager()) manager->SetActiveControl(Handle());
    }
    link.MouseAbove = entering;
    link.BGChanged = true;
    Repaint();
    TComboBox::WndProc(m);
    if (entering) {
        HideGlow(link.GlowID);
        UpdateGlow(&link, true, Handle());
    } else {
        ClearGlows();
    }
}

void TsCustomComboBox::CreateWnd()
{
    TsLinkedControl::CreateWnd();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(Handle(), &info)) {
        if (info.hwndItem && info.hwndItem != Handle()) SubclassChild(info.hwndItem, this, &ComboChildProc);
        if (Style() == csSimple) SubclassChild(info.hwndList, this, &ComboChildProc);
    }
    SetMinVisible();
    TakeSectionColors();
}

void TsCustomComboBox::DestroyWnd()
{
    // The list goes with the window.
    FreeListAdapter();
    buttonPressed_ = false;
    TsLinkedControl::DestroyWnd();
}

void TsCustomComboBox::Invalidate()
{
    if (FocusInside()) SkinData().Focused = true;
    TsLinkedControl::Invalidate();
}

void TsCustomComboBox::Loaded()
{
    TsLinkedControl::Loaded();
    TakeSectionColors();
    if (activateLabel_) boundLabel_->SetActive(true);
}

void TsCustomComboBox::FollowBoundLabel(const TMessage& m) { boundLabel_->FollowControl(m.Msg, disabledKind_); }

void TsCustomComboBox::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "Alignment")) SetAlignment(static_cast<TAlignment>(IdentToInt(v, kAlignments, name)));
    else if (SameText(name, "ReadOnly")) SetReadOnly(v.AsBool());
    else if (SameText(name, "AutoCompleteDelay")) SetAutoCompleteDelay(static_cast<unsigned>(v.AsInt()));
    else if (SameText(name, "DisabledKind"))
        SetDisabledKind((v.Has("dkBlended") ? dkBlended : 0u) | (v.Has("dkGrayed") ? dkGrayed : 0u));
    else if (!boundLabel_->SetProperty(name, v, activateLabel_)) TsLinkedControl::SetProperty(name, v);
}
