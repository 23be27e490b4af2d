// TsCommonData: creation, manager and section, the state queries, repainting and re-indexing.
#include "skin/engine/sCommonData.h"

#include <algorithm>
#include <bitset>
#include <initializer_list>
#include <vector>

#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/sGraphUtils.h"
#include "skin/engine/sHooks.h"
#include "skin/engine/sSkinManager.h"

namespace {

using TKindSet = std::bitset<256>;

TKindSet MakeSet(std::initializer_list<std::pair<int, int>> ranges)
{
    TKindSet s;
    for (auto [from, to] : ranges)
        for (int k = from; k <= to; ++k)
            s.set(static_cast<size_t>(k));
    return s;
}

bool InSet(const TKindSet& set, int kind) { return kind >= 0 && kind < 256 && set.test(static_cast<size_t>(kind)); }

LRESULT SendToControl(TControl* control, WORD command, LPARAM lParam)
{
    if (auto f = WindowSkinningHooks().SendSkinCommandToControl) return f(control, command, lParam);
    return 0;
}

// The owner control's message through its own dispatch.
LRESULT Dispatch(TControl* control, WORD command, LPARAM lParam, WORD argument = 0)
{
    return control->Perform(SM_VELOCONCMD, SkinCommandWParam(command, argument), lParam);
}

} // namespace

bool IsNoHotKind(int kind)
{
    static const TKindSet s = MakeSet({{19, 19}, {51, 74}, {110, 110}, {141, 161}});
    return InSet(s, kind);
}

bool IsNoGlowKind(int kind)
{
    static const TKindSet s = MakeSet({{51, 52},
                                       {54, 54},
                                       {56, 60},
                                       {68, 68},
                                       {73, 74},
                                       {110, 110},
                                       {141, 141},
                                       {143, 143},
                                       {151, 151},
                                       {161, 161},
                                       {226, 226}});
    return InSet(s, kind);
}

bool IsRepaintOnHoverKind(int kind)
{
    static const TKindSet s = MakeSet({{2, 18}, {41, 41}, {76, 84}, {96, 97}, {131, 140}});
    return InSet(s, kind);
}

std::string DefaultSectionOfKind(int kind)
{
    static const std::pair<std::vector<int>, const char*> table[] = {
        {{2, 3, 4, 5, 6, 7, 8, 10, 41, 76, 78, 83, 84, 96, 97, 131, 140, 227}, "EDIT"},
        {{11, 12, 13, 14, 15, 16, 17, 18, 81, 82}, "COMBOBOX"},
        {{19}, "BAR"},
        {{20}, "BARTITLE"},
        {{32, 152}, "CHECKBOX"},
        {{33}, "RADIOBUTTON"},
        {{51, 59, 68, 73}, "PANEL"},
        {{52, 58}, "PANEL_LOW"},
        {{53, 54, 60}, "TOOLBAR"},
        {{56}, "DRAGBAR"},
        {{57}, "TABSHEET"},
        {{74, 226}, "GROUPBOX"},
        {{75}, "SPLITTER"},
        {{92, 95}, "SPEEDBUTTON"},
        {{93, 94}, "BUTTON"},
        {{98}, "TOOLBUTTON"},
        {{141, 143}, "PAGECONTROL"},
        {{151}, "STATUSBAR"},
        {{161}, "GAUGE"},
        {{165}, "TRACKBAR"},
    };
    for (const auto& [kinds, section] : table)
        if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) return section;
    return "";
}

namespace {

// The links that belong to a control, in the order they were made.
std::vector<TsCommonData*>& ControlLinks()
{
    static auto* links = new std::vector<TsCommonData*>;
    return *links;
}

} // namespace

TsCommonData::TsCommonData(TObject* owner, bool createCacheBmp)
    : FOwnerControl(dynamic_cast<TControl*>(owner)), FOwnerObject(owner)
{
    if (createCacheBmp) FCacheBmp = CreateBmp24(0, 0);
    if (FOwnerControl) ControlLinks().push_back(this);
}

TsCommonData* TsCommonData::OfControl(const TControl* control)
{
    if (!control) return nullptr;
    for (TsCommonData* link : ControlLinks())
        if (link->FOwnerControl == control) return link;
    return nullptr;
}

TsCommonData::~TsCommonData()
{
    std::vector<TsCommonData*>& links = ControlLinks();
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
    SkinIndex = BorderIndex = Texture = HotTexture = -1;
    RemoveGlow(this);
    FOwnerControl = nullptr;
    FOwnerObject = nullptr;
    FSkinManager = nullptr;
}

TsSkinManager* TsCommonData::GetSkinManager() const { return FSkinManager ? FSkinManager : DefaultManager(); }

TsFormProviderState* TsCommonData::Provider() const { return dynamic_cast<TsFormProviderState*>(FOwnerObject); }

bool TsCommonData::OwnerBusy(unsigned flags) const
{
    const auto* c = dynamic_cast<const TComponent*>(FOwnerObject);
    return c && c->InState(flags);
}

void TsCommonData::TellOwner(TsSkinManager* manager)
{
    const bool valid = manager && !manager->GeneralData.empty() && manager->IsValidSkinIndex(SkinIndex);
    Dispatch(FOwnerControl, valid ? cmdRefresh : cmdRemoveSkin, reinterpret_cast<LPARAM>(manager));
}

void TsCommonData::SetSkinManager(TsSkinManager* manager)
{
    if (manager == FSkinManager) return;
    FSkinManager = manager && manager->IsDefault() ? nullptr : manager;
    if (OwnerBusy(csLoading)) return;
    if (!manager || manager->GeneralData.empty()) SkinIndex = -1;
    else UpdateIndexes();
    if (Provider()) return; // the provider's own entry for it does nothing
    if (FOwnerControl && FOwnerControl->Parent() && !FOwnerControl->InState(csDestroying)) TellOwner(manager);
}

void TsCommonData::SetSkinSection(const std::string& name)
{
    if (name == skinSection_) return;
    skinSection_ = name.empty() ? "UNKNOWN" : UpperCase(name);
    TsSkinManager* manager = GetSkinManager();
    if (!manager || manager->GeneralData.empty()) SkinIndex = -1;
    else UpdateIndexes();
    if (!FOwnerControl || FOwnerControl->InState(csLoading | csReading | csDestroying) || !FOwnerControl->Parent()) {
        if (TsFormProviderState* p = Provider()) {
            CacheDirty = true;
            p->FreeFormCache();
        }
        return;
    }
    TellOwner(manager);
}

void TsCommonData::SetCustomColor(bool on)
{
    if (on == customColor_) return;
    customColor_ = on;
    if (Skinned() && dynamic_cast<TCustomEdit*>(FOwnerObject) && !OwnerBusy(csLoading)) {
        UpdateControlColors();
        Invalidate();
    }
}

void TsCommonData::SetCustomFont(bool on)
{
    if (on == customFont_) return;
    customFont_ = on;
    Invalidate();
}

bool TsCommonData::Skinned(bool checkSkinActive) const
{
    TsSkinManager* m = GetSkinManager();
    if (!m || m->InState(csDestroying) || !m->IsValidSkinIndex(SkinIndex)) return false;
    if (OwnerBusy(csDestroying)) return false;
    return !checkSkinActive || m->SkinData.SkinLoaded;
}

bool TsCommonData::ControlIsActive() const
{
    if (!FOwnerControl || FOwnerControl->InState(csDestroying) || !FOwnerControl->Enabled()) return false;
    if (Focused || FActive) return true;
    if (auto* w = dynamic_cast<TWinControl*>(FOwnerControl); w && w->HandleAllocated() && w->Focused()) return true;
    return MouseAbove && !IsNoHotKind(COC);
}

bool TsCommonData::RedrawAllowed() const
{
    if (SkinChanging || RepaintLocked || (CtrlFlags & cfPlainContainer) == 0) return true;
    return ControlIsActive();
}

bool TsCommonData::GetBGChanged() const
{
    if (!GetSkinManager()) return false;
    if (!RedrawAllowed()) return BGChanged;
    if (!FOwnerControl || FOwnerControl->InState(csDestroying)) return BGChanged;
    if (BGChanged) return true;
    if (!FOwnerControl->Parent()) return true;
    return SendToControl(FOwnerControl->Parent(), cmdGetBGChanged, 0) != 0;
}

bool TsCommonData::GetUpdating() const
{
    TsSkinManager* m = GetSkinManager();
    if (!m || m->InState(csDestroying)) return false;
    if (Updating) return true;
    if (FOwnerControl && FOwnerControl->Visible() && FOwnerControl->Parent())
        return SendToControl(FOwnerControl->Parent(), cmdGetBGChanged, 0) == 1;
    return false;
}

void TsCommonData::Invalidate()
{
    if (FOwnerControl) {
        if (FOwnerControl->InState(csDestroying | csLoading)) return;
        CacheDirty = true;
        auto ready = WindowSkinningHooks().ControlIsReady;
        if (ready && ready(FOwnerControl)) FOwnerControl->Repaint();
    } else if (TsFormProviderState* p = Provider()) {
        CacheDirty = true;
        if (TForm* form = p->ProviderForm(); form && form->HandleAllocated())
            RedrawWindow(form->Handle(), nullptr, nullptr, 0x585);
    }
}

void TsCommonData::BeginUpdate()
{
    BGChanged = true;
    Updating = true;
    CtrlFlags |= cfInUpdate;
    if (FOwnerControl) Dispatch(FOwnerControl, cmdBeginUpdate, 0);
    else if (TsFormProviderState* p = Provider())
        if (TForm* form = p->ProviderForm(); form && form->HandleAllocated())
            SendMessageA(form->Handle(), SM_VELOCONCMD, SkinCommandWParam(cmdBeginUpdate), 0);
}

void TsCommonData::EndUpdate(bool repaint)
{
    BGChanged = false;
    Updating = false;
    CtrlFlags &= static_cast<uint16_t>(~cfInUpdate);
    if (FOwnerControl) Dispatch(FOwnerControl, cmdEndUpdate, 0);
    else if (TsFormProviderState* p = Provider())
        if (TForm* form = p->ProviderForm(); form && form->HandleAllocated())
            SendMessageA(form->Handle(), SM_VELOCONCMD, SkinCommandWParam(cmdEndUpdate), 0);
    if (repaint) Invalidate();
}

void TsCommonData::UpdateIndexes()
{
    CacheDirty = true;
    TsSkinManager* m = GetSkinManager();
    SkinIndex = m ? m->GetSkinIndex(skinSection_) : -1;
    GradFlags = 0;
    CtrlFlags = 0;
    if (m && m->IsValidSkinIndex(SkinIndex)) {
        const TsGeneralData& g = m->GeneralData[static_cast<size_t>(SkinIndex)];
        if (g.ImagePercent > 0) GradFlags |= 4;
        if (!g.GradientArray.empty()) {
            const int mode = g.GradientArray.front().Mode;
            GradFlags |= mode == 0 ? 2 : mode == 1 ? 1 : mode == 2 ? 3 : 0;
        }
        BorderIndex = g.BorderIndex;
        Texture = m->GetTextureIndex(SkinIndex, skinSection_, "PATTERN");
        HotTexture = m->GetTextureIndex(SkinIndex, skinSection_, "HOTPATTERN");
        UpdateContainerFlag(false);
    } else {
        BorderIndex = -1;
        Texture = HotTexture = -1;
    }
}

void TsCommonData::UpdateDefaultSection()
{
    if (!skinSection_.empty()) {
        UpdateIndexes();
        return;
    }
    std::string section = DefaultSectionOfKind(COC);
    if (section.empty() && FOwnerObject) section = FOwnerObject->ClassName();
    SetSkinSection(section);
}

void TsCommonData::Loaded()
{
    UpdateDefaultSection();
    if (!Skinned() || !FOwnerControl || !FOwnerControl->Parent() || FOwnerControl->InState(csLoading)) return;
    if (dynamic_cast<TWinControl*>(FOwnerControl))
        if (auto notify = WindowSkinningHooks().NotifyParentForm) notify(FOwnerControl);
    if (dynamic_cast<TCustomEdit*>(FOwnerControl) || COC == 97) UpdateControlColors();
}

void TsCommonData::UpdateControlColors()
{
    TsSkinManager* m = GetSkinManager();
    if (!FOwnerControl || !m || !m->IsValidSkinIndex(SkinIndex)) return;
    const TsGeneralData& g = m->GeneralData[static_cast<size_t>(SkinIndex)];
    if (!customColor_ && FOwnerControl->Color() != g.Color) FOwnerControl->SetColor(g.Color);
    if (!customFont_ && FOwnerControl->Font().Color() != g.FontColor[1]) {
        FOwnerControl->Font().SetColor(g.FontColor[1]);
    }
}

void TsCommonData::UpdateContainerFlag(bool withChildren)
{
    CtrlFlags &= static_cast<uint16_t>(~cfPlainContainer);
    auto isFrame = WindowSkinningHooks().IsFrame;
    if (FOwnerControl) {
        if (dynamic_cast<TPanel*>(FOwnerControl) || dynamic_cast<TForm*>(FOwnerControl) ||
            (isFrame && isFrame(FOwnerControl)))
            if (!HasOwnLook()) CtrlFlags |= cfPlainContainer;
        if (auto* w = dynamic_cast<TWinControl*>(FOwnerControl); withChildren && w)
            for (int i = 0; i < w->ControlCount(); ++i)
                SendToControl(w->Controls(i), cmdContainerFlags, 1);
    } else if (TsFormProviderState* provider = Provider()) {
        // An MDI main form's image holds its MDI area: it is never a plain container.
        const TForm* form = provider->ProviderForm();
        if (!HasOwnLook() && !(form && form->FormStyle() == fsMDIForm)) CtrlFlags |= cfPlainContainer;
    }
}

bool TsCommonData::HasOwnLook() const
{
    TsSkinManager* m = GetSkinManager();
    if (!m || !m->IsValidSkinIndex(SkinIndex)) return false;
    if (m->IsValidImgIndex(BorderIndex) && (m->GetMaskLeftWidth(BorderIndex) + m->GetMaskRightWidth(BorderIndex) > 30 ||
                                            m->GetMaskTopWidth(BorderIndex) + m->GetMaskBottomWidth(BorderIndex) > 30))
        return true;
    const TsGeneralData& g = m->GeneralData[static_cast<size_t>(SkinIndex)];
    if (g.Transparency == 100) {
        if (!FOwnerControl || !FOwnerControl->Parent()) return true;
        return (SendToControl(FOwnerControl->Parent(), cmdContainerFlags, 0) & cfPlainContainer) == 0;
    }
    if (g.Transparency > 0) return true;
    return g.ImagePercent > 0 || g.GradientPercent > 0;
}

void TsCommonData::InitCacheBmp()
{
    if (!FCacheBmp) FCacheBmp = CreateBmp24(0, 0);
    if (FCacheBmp->PixelFormat() == pfDevice) FCacheBmp->SetPixelFormat(pf24bit);
    if (FOwnerControl) FCacheBmp->SetSize(std::max(0, FOwnerControl->Width()), std::max(0, FOwnerControl->Height()));
}

void TsCommonData::PrepareCacheBmp()
{
    InitCacheBmp();
    if (FCacheBmp->PixelFormat() != pf24bit) FCacheBmp->SetPixelFormat(pf24bit);
}

TsLinkFields TsCommonData::Fields() const
{
    TsLinkFields f;
    f.Manager = GetSkinManager();
    f.SkinIndex = SkinIndex;
    f.BorderIndex = BorderIndex;
    f.Texture = Texture;
    f.HotTexture = HotTexture;
    f.CacheBmp = FCacheBmp.get();
    f.State = ControlIsActive() ? 1 : 0;
    f.ControlKind = COC;
    f.CustomFont = customFont_;
    if (FOwnerControl) {
        f.Parent = FOwnerControl->Parent();
        f.Position = TPoint{FOwnerControl->Left(), FOwnerControl->Top()};
        f.Font = &FOwnerControl->Font();
        if (f.Parent)
            if (auto color = WindowSkinningHooks().ControlColor) f.ParentColor = color(f.Parent);
    }
    return f;
}
