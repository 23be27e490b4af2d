#include "skin/windows/sFade.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "gui/Forms.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sUtils.h"
#include "skin/engine/vxFastBitmaps.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxMessageWindow.h"

namespace {

constexpr UINT vxmFreeFades = WM_APP + 1;

// The module's state: the suppression flag, the live fades, the fades ended inside their own
// tick that wait to be freed, and the window through which they are freed.
struct TFadeModule {
    // The window goes with the process: none is destroyed after the class library has ended.
    ~TFadeModule() { (void)reaper.release(); }
    bool suppressed = false;
    std::vector<TsFadeTimer*> live;
    std::vector<TsFadeTimer*> pending;
    std::unique_ptr<TvxMessageWindow> reaper;
};
TFadeModule& Module()
{
    static TFadeModule module;
    return module;
}

bool IsLive(TsFadeTimer* t) { return std::find(Module().live.begin(), Module().live.end(), t) != Module().live.end(); }

void FreePending(void*, UINT, WPARAM, LPARAM)
{
    const std::vector<TsFadeTimer*> gone = std::exchange(Module().pending, {});
    for (TsFadeTimer* t : gone)
        if (IsLive(t)) t->Free();
}

const TsGeneralData* SectionOf(const TsCommonData* link)
{
    const TsSkinManager* m = link ? link->GetSkinManager() : nullptr;
    if (!m || !m->IsValidSkinIndex(link->SkinIndex)) return nullptr;
    return &m->GeneralData[static_cast<size_t>(link->SkinIndex)];
}

LRESULT Command(TControl* control, WORD command, LPARAM lParam = 0)
{
    return control->Perform(SM_VELOCONCMD, SkinCommandWParam(command), lParam);
}

bool Going(const TControl* control) { return !control || control->InState(csDestroying); }

} // namespace

TsFadeTimer::TsFadeTimer(TComponent* owner) : TTimer(owner), oldImage_(std::make_unique<TBitmap>())
{
    Module().live.push_back(this);
    SetEnabled(false);
    OnTimer = [this](TObject*) { Timer(); };
}

TsFadeTimer::~TsFadeTimer()
{
    *alive_ = false;
    std::erase(Module().live, this);
    std::erase(Module().pending, this);
}

void TsFadeTimer::SetDirection(uint8_t value)
{
    direction_ = value;
    if (Step < 0) Step = 1;
    SetEnabled(value != 0);
}

void TsFadeTimer::Setup(TsCommonData* commonData)
{
    CommonData = commonData;
    TBitmap* cache = commonData->FCacheBmp.get();
    auto* w = dynamic_cast<TWinControl*>(commonData->FOwnerControl);
    if (commonData->BGChanged && (!cache || cache->Width() == 0 || cache->Height() == 0) && w && w->HandleAllocated() &&
        !Going(w))
        SendSkinCommand(w->Handle(), cmdRefreshCache, 0);
    if (cache) oldImage_->Assign(*cache);
    else oldImage_->SetSize(0, 0);
    SetInterval(10);
    const TsGeneralData* g = SectionOf(commonData);
    Iterations = g ? g->FadingIterations : 0;
    if (direction_ == 1) Iterations = Step;
}

void TsFadeTimer::PaintStep()
{
    TControl* c = CommonData ? CommonData->FOwnerControl : nullptr;
    if (Going(c) || Iterations == 0 || Module().suppressed) return;
    if (!c->Enabled()) {
        SetEnabled(false);
        Iterations = 0;
        CommonData->Invalidate();
        return;
    }
    // 255 - 256 Step / Iterations, in 64 bits: a huge frame count only makes a long fade.
    const int64_t a = 255 - int64_t{Step} * 256 / Iterations;
    const BYTE alpha = static_cast<BYTE>(ClampByte(static_cast<int>(std::clamp<int64_t>(a, -1, 256))));
    auto frame = std::make_unique<TBitmap>();
    frame->Assign(*oldImage_);
    frame->SetPixelFormat(pf24bit);
    SumBitmaps24(frame.get(), CommonData->FCacheBmp.get(), alpha);
    const std::shared_ptr<bool> alive = alive_;
    auto* w = dynamic_cast<TWinControl*>(c);
    const HWND wnd = w && w->HandleAllocated() ? w->Handle() : nullptr;
    const HDC dc = wnd ? GetDC(wnd) : nullptr;
    const int saved = dc ? SaveDC(dc) : 0;
    if (!Going(c) && Iterations != 0 && Command(c, cmdPaintFadeFrame, reinterpret_cast<LPARAM>(frame.get())) == 0 && dc &&
        IsWindow(wnd))
        BitBlt(dc, 0, 0, frame->Width(), frame->Height(), frame->Canvas().Handle(), 0, 0, SRCCOPY);
    if (dc && IsWindow(wnd)) {
        RestoreDC(dc, saved);
        ReleaseDC(wnd, dc);
    }
    // The control may have freed its fade while it painted the frame.
    if (!*alive) return;
    // Past the largest count Step turns negative, which ends the fade.
    Step = static_cast<int>(static_cast<unsigned>(Step) + 1u);
}

void TsFadeTimer::Timer()
{
    // A tick that comes while the last one still runs (a message loop inside it) is left out.
    if (inTick_) return;
    const std::shared_ptr<bool> alive = alive_;
    inTick_ = true;
    Tick();
    if (!*alive) return;
    inTick_ = false;
    if (!freeAfterTick_) return;
    TFadeModule& m = Module();
    if (std::find(m.pending.begin(), m.pending.end(), this) == m.pending.end()) m.pending.push_back(this);
    if (!m.reaper) m.reaper = std::make_unique<TvxMessageWindow>(&FreePending, nullptr);
    m.reaper->Post(vxmFreeFades);
}

void TsFadeTimer::Tick()
{
    if (!CommonData || InState(csDestroying)) return;
    try {
        TControl* c = CommonData->FOwnerControl;
        if (Going(c) || Application->Terminated()) {
            SetDirection(0);
        } else if (Step > Iterations || Step < 0) {
            // A fade that painted no frame (a count of 0 or below) leaves the old look on the
            // window: the control, its fade stopped by command 16, repaints in its new look.
            const bool noFrame = Step == 1;
            TsCommonData* link = CommonData;
            const std::shared_ptr<bool> alive = alive_;
            Command(c, cmdSkinChangeDone);
            if (*alive && noFrame && !Going(c)) link->Invalidate();
            return;
        }
    } catch (const std::exception&) {
        // The end test never stops the timer's messages.
    }
    if (Module().suppressed) return;
    if (direction_ == 1) PaintStep();
}

void TsFadeTimer::Finish()
{
    SetEnabled(false);
    direction_ = 0;
    slot_ = nullptr;
    if (inTick_) freeAfterTick_ = true;
    else Free();
}

int FadeTimerCount() { return static_cast<int>(Module().live.size()); }
bool FadesSuppressed() { return Module().suppressed; }
void SetFadesSuppressed(bool on) { Module().suppressed = on; }

bool AnimEventEnabled(TvxAnimatEvent event, TvxAnimatEvents events, TsSkinManager* manager)
{
    if (events & (1u << event)) return true;
    if (!(events & (1u << aeGlobalDef))) return false;
    TsSkinManager* m = manager ? manager : DefaultManager();
    if (!m) return false;
    // The button event of each control event; aeGlobalDef counts as the release.
    static constexpr unsigned buttonEvent[] = {TvxAnimEffects::beMouseEnter, TvxAnimEffects::beMouseLeave,
                                               TvxAnimEffects::beMouseDown, TvxAnimEffects::beMouseUp,
                                               TvxAnimEffects::beMouseUp};
    return (m->AnimEffects().ButtonEvents & buttonEvent[event]) != 0;
}

void RepaintWithFade(TsFadeTimer*& timer, TsCommonData* commonData, bool fast, bool animate, uint8_t direction)
{
    if (!commonData || !commonData->Skinned()) return;
    const TsGeneralData* g = SectionOf(commonData);
    if (animate && !SkinChanging && g && g->FadingEnabled && !Module().suppressed && commonData->FCacheBmp &&
        !commonData->BGChanged) {
        commonData->BGChanged = true;
        StartFade(timer, commonData, fast, direction);
    } else {
        commonData->BGChanged = true;
        StopFade(timer);
        if (commonData->FOwnerControl) commonData->FOwnerControl->Repaint();
    }
    UpdateGlow(commonData, fast, nullptr);
}

void StartFade(TsFadeTimer*& timer, TsCommonData* commonData, bool fast, uint8_t direction)
{
    const TsGeneralData* g = SectionOf(commonData);
    if (!g || !g->FadingEnabled) return;
    if (!timer) {
        timer = new TsFadeTimer(commonData->FOwnerControl);
        timer->slot_ = &timer;
        timer->SetEnabled(false);
        timer->Step = 1;
    } else {
        timer->Step = g->FadingIterations;
    }
    timer->Setup(commonData);
    if (fast) timer->Iterations /= 2;
    if (timer->Step >= timer->Iterations || timer->Step < 1) timer->Step = 1;
    if (commonData->FOwnerControl) Command(commonData->FOwnerControl, cmdRefreshCache);
    if (timer) timer->SetDirection(direction);
}

void StopFade(TsFadeTimer*& timer)
{
    if (!timer) return;
    TsFadeTimer* t = std::exchange(timer, nullptr);
    if (!t->InState(csDestroying)) t->Finish();
}

void StopAllFades()
{
    const std::vector<TsFadeTimer*> all = Module().live;
    for (TsFadeTimer* t : all) {
        if (!IsLive(t) || t->InState(csDestroying)) continue;
        TsCommonData* link = t->CommonData;
        if (t->slot_) *t->slot_ = nullptr;
        t->Finish();
        // The control shows its present look, not the frame its fade had come to.
        if (link && !Going(link->FOwnerControl)) link->Invalidate();
    }
}

void EndSessionFades()
{
    SetFadesSuppressed(true);
    StopAllFades();
    // Only fades stopped inside their own tick can be left; they go with the next messages.
    const DWORD start = GetTickCount();
    while (FadeTimerCount() > 0 && GetTickCount() - start < 1000) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
