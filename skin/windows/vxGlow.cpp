#include "skin/windows/vxGlow.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "gui/base/Handles.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sMaskPaint.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sUtils.h"

namespace {

// The module's state: the blend record of the glow windows and the list of glows (freed ones
// stay as empty slots until the list is cleared).
struct TGlowModule {
    // Glows the module end did not free (a program without that step) go with the process: a
    // form is not freed after the class library has ended.
    ~TGlowModule()
    {
        for (std::unique_ptr<TvxGlowEffect>& e : effects)
            (void)e.release();
    }
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    std::vector<std::unique_ptr<TvxGlowEffect>> effects;
    int dispatching = 0; // glow windows inside their own message handling
};
TGlowModule& Module()
{
    static TGlowModule module;
    return module;
}

// Where a glow goes: the size of its whole image, the part of it that is shown (from the cut
// on the left and the top, of width x height) and the window's place on the screen.
struct TGlowPlace {
    int fullWidth = 0, fullHeight = 0;
    int cutLeft = 0, cutTop = 0;
    int width = 0, height = 0;
    int x = 0, y = 0;
};

// r on the screen, visible in r's own coordinates, the image's border widths and the margin.
std::optional<TGlowPlace> PlaceGlow(const TRect& r, const TRect& visible, const TRect& widths, int margin)
{
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    TGlowPlace p;
    p.fullWidth = w + widths.Left + widths.Right - 2 * margin;
    p.fullHeight = h + widths.Top + widths.Bottom - 2 * margin;
    if (p.fullWidth < 1 || p.fullHeight < 1) return std::nullopt;
    const int w2 = visible.Right - visible.Left, h2 = visible.Bottom - visible.Top;
    int cutRight = 0, cutBottom = 0;
    if (w2 != w || h2 != h) {
        p.cutLeft = visible.Left != 0 ? widths.Left + visible.Left - margin : 0;
        p.cutTop = visible.Top != 0 ? widths.Top + visible.Top - margin : 0;
        if (visible.Right != w)
            cutRight = p.cutLeft != 0 ? p.fullWidth - p.cutLeft - w2 : (w - w2) + widths.Right - margin;
        if (visible.Bottom != h)
            cutBottom = p.cutTop != 0 ? p.fullHeight - p.cutTop - h2 : (h - h2) + widths.Bottom - margin;
        // A margin wider than the border leaves nothing to cut on that side (never a part from
        // outside the image).
        p.cutLeft = std::max(p.cutLeft, 0);
        p.cutTop = std::max(p.cutTop, 0);
        cutRight = std::max(cutRight, 0);
        cutBottom = std::max(cutBottom, 0);
    }
    p.width = p.fullWidth - p.cutLeft - cutRight;
    p.height = p.fullHeight - p.cutTop - cutBottom;
    if (p.width < 1 || p.height < 1) return std::nullopt;
    p.x = r.Left - widths.Left + margin + p.cutLeft;
    p.y = r.Top - widths.Top + margin + p.cutTop;
    return p;
}

void ZeroBitmap(TBitmap& bitmap)
{
    const size_t row = static_cast<size_t>(bitmap.Width()) * 4;
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memset(bitmap.ScanLine(y), 0, row);
}

// A glow window passes the mouse to what lies below it.
void GlowWindowProc(TMessage& m, const TWndMethod& inherited)
{
    if (m.Msg == WM_NCHITTEST) {
        m.Result = HTTRANSPARENT;
        return;
    }
    ++Module().dispatching;
    try {
        inherited(m);
    } catch (...) {
        --Module().dispatching;
        throw;
    }
    --Module().dispatching;
}

} // namespace

TvxGlowEffect::~TvxGlowEffect()
{
    if (!form_) return;
    TForm* form = std::exchange(form_, nullptr);
    form->UnhookWindowProc(hookId_);
    if (Module().dispatching == 0) {
        form->Free();
        return;
    }
    // A glow window that is handling one of its own messages goes after that message; until
    // then it is hidden (it no longer lets the mouse through).
    if (form->HandleAllocated()) ShowWindow(form->Handle(), SW_HIDE);
    form->Release();
}

void TvxGlowEffect::CreateBitmap(int width, int height)
{
    bitmap_ = CreateBmp32(width, height);
    ZeroBitmap(*bitmap_);
    if (MaskIndex > -1) DrawBorderMask(bitmap_.get(), TRect{0, 0, width, height}, 0, Manager, MaskIndex);
}

bool TvxGlowEffect::Show(const TRect& r, const TRect& visible, HWND owner, BYTE alpha)
{
    if (form_) return true;
    const bool image = Manager && MaskIndex > -1;
    const TRect widths = image ? TRect{Manager->GetMaskLeftWidth(MaskIndex), Manager->GetMaskTopWidth(MaskIndex),
                                       Manager->GetMaskRightWidth(MaskIndex), Manager->GetMaskBottomWidth(MaskIndex)}
                               : TRect{};
    const std::optional<TGlowPlace> place = PlaceGlow(r, visible, widths, Margin);
    if (!place) return false;

    auto* form = new TForm(nullptr);
    form->SetTag(-98);
    hookId_ = form->HookWindowProc(&GlowWindowProc);
    form->SetControlStyle(form->ControlStyle() & ~csCaptureMouse);
    form->SetBorderStyle(bsNone);
    form->SetBounds(place->x, place->y, place->width, place->height);
    try {
        form->InitializeForm();
    } catch (...) {
        form->Free();
        throw;
    }
    form_ = form;
    CreateBitmap(place->fullWidth, place->fullHeight);
    if (owner && (GetWindowLongPtrA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST)) form->SetFormStyle(fsStayOnTop);
    const HWND wnd = form->Handle();
    SetWindowPos(wnd, nullptr, place->x, place->y, place->width, place->height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    if (const TUpdateLayeredWindowProc update = UpdateLayeredWindowEntry()) {
        const TWindowDC screen(nullptr);
        SIZE size{place->width, place->height};
        POINT source{place->cutLeft, place->cutTop};
        BLENDFUNCTION blend = Module().blend;
        blend.SourceConstantAlpha = alpha;
        update(wnd, screen.get(), nullptr, &size, bitmap_->Canvas().Handle(), &source, 0, &blend, ULW_ALPHA);
    }
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    bitmap_.reset();
    return true;
}

int ShowGlow(const TRect& rect, const TRect& clip, const std::string& section, TsSkinManager* manager, HWND owner,
             int alpha, int margin, const std::string& maskName)
{
    if (!LayeredWindowsAvailable() || section.empty()) return -1;
    TsSkinManager* m = manager ? manager : DefaultManager();
    if (!m) return -1;
    const int mask = m->GetMaskIndexByName(section, maskName + "0");
    if (mask < 0) return -1;
    // What can be seen of the control, in its own coordinates.
    const TRect seen = IntersectRects(rect, clip);
    if (seen.Right <= seen.Left || seen.Bottom <= seen.Top) return -1;
    const TRect visible{seen.Left - rect.Left, seen.Top - rect.Top, seen.Right - rect.Left, seen.Bottom - rect.Top};
    auto effect = std::make_unique<TvxGlowEffect>(m);
    effect->MaskIndex = mask;
    effect->Margin = margin;
    if (!effect->Show(rect, visible, owner, static_cast<BYTE>(ClampByte(alpha)))) return -1;
    std::vector<std::unique_ptr<TvxGlowEffect>>& effects = Module().effects;
    effects.push_back(std::move(effect));
    return static_cast<int>(effects.size()) - 1;
}

void HideGlow(int& id)
{
    std::vector<std::unique_ptr<TvxGlowEffect>>& effects = Module().effects;
    if (id < 0 || id >= static_cast<int>(effects.size())) return;
    // Taken out of the list first: freeing a window may bring other glow calls.
    std::unique_ptr<TvxGlowEffect> gone = std::move(effects[static_cast<size_t>(id)]);
    id = -1;
}

void ClearGlows()
{
    std::vector<std::unique_ptr<TvxGlowEffect>> gone = std::move(Module().effects);
    Module().effects.clear();
}

TvxGlowEffect* GlowEffect(int id)
{
    const std::vector<std::unique_ptr<TvxGlowEffect>>& effects = Module().effects;
    return id >= 0 && id < static_cast<int>(effects.size()) ? effects[static_cast<size_t>(id)].get() : nullptr;
}

int GlowListLength() { return static_cast<int>(Module().effects.size()); }

void GlowEffectsStart() { Module().blend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}; }

void GlowEffectsEnd() { ClearGlows(); }
