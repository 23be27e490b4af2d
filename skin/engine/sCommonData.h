// TsCommonData: the skin link every skinned control and every form provider owns as its
// SkinData. It knows the control's skin manager (its own or the default one), its section by
// name and index, the section's border image and textures, the control's cache bitmap and the
// small state flags that choose the look; it answers the skin command message for its control,
// handles the ordinary messages that change a look and tells the control when to repaint.
//
// A skinned control makes its link in its constructor, gives it its control-kind code and
// passes its messages through it first:
//
//   TsEdit::TsEdit(TComponent* owner) : TEdit(owner), skinData_(this, true) { skinData_.COC = 3; }
//   void TsEdit::WndProc(TMessage& m) { if (!HandleControlMessage(m, skinData_)) TEdit::WndProc(m); }
//   void TsEdit::Loaded() { TEdit::Loaded(); skinData_.Loaded(); }   // "EDIT", its colours
//
// Without a manager, a valid section or a parent, every answer is that of an unskinned control
// (false, -1, the control's own colour, clBtnFace) and commands 1-3 change nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/base/Geometry.h"
#include "skin/engine/sLinkPaint.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"

class TsSkinManager;
class TsFormProviderState;

// Flags of TsCommonData::CtrlFlags.
enum : uint16_t { cfPlainContainer = 0x0001, cfMenuChanged = 0x0400, cfInUpdate = 0x0800 };

class TsCommonData : public TObject {
    GUI_CLASS(TsCommonData, TObject)
    // owner: the control (or a form provider). With createCacheBmp a 24-bit cache of 0 x 0.
    TsCommonData(TObject* owner, bool createCacheBmp);
    ~TsCommonData() override;
    TsCommonData(const TsCommonData&) = delete;
    TsCommonData& operator=(const TsCommonData&) = delete;
    // The live link whose owner is this control (the first made), or none.
    static TsCommonData* OfControl(const TControl* control);

    // The explicit manager, else the default one (none when there is neither).
    TsSkinManager* GetSkinManager() const;
    // The default manager is stored as none. The owner is told: command 3 (a valid section)
    // or 2, lParam the manager.
    void SetSkinManager(TsSkinManager* manager);
    TsSkinManager* FSkinManager = nullptr;

    // Always upper case; "UNKNOWN" when set empty.
    const std::string& SkinSection() const { return skinSection_; }
    void SetSkinSection(const std::string& name);
    bool CustomColor() const { return customColor_; }
    void SetCustomColor(bool on);
    bool CustomFont() const { return customFont_; }
    void SetCustomFont(bool on);

    int GlowID = -1;
    bool BGChanged = false;
    int BorderIndex = -1;
    int SkinIndex = -1;
    int Texture = -1, HotTexture = -1;
    bool ForceParentBG = false;
    bool CacheDirty = true;
    bool PartlyHidden = true; // commands 22 and 11; PartlyVisible by its other name
    bool PartlyVisible() const { return PartlyHidden; }
    bool Updating = false;    // painting suspended (BeginUpdate)
    bool CacheFrozen = false; // command 9: no cache rebuild
    bool FActive = false;     // forced active
    TControl* FOwnerControl = nullptr;
    TObject* FOwnerObject = nullptr;
    std::unique_ptr<TBitmap> FCacheBmp;
    int COC = 0; // control-kind code
    bool Focused = false;
    bool MouseAbove = false;
    uint16_t CtrlFlags = 0;
    uint16_t GradFlags = 0;

    // Skinned: a manager not being destroyed, a valid section, an owner not being destroyed;
    // with checkSkinActive the manager's skin is also loaded.
    bool Skinned(bool checkSkinActive = false) const;
    // The hot state: focused, or the mouse above a control of a kind with a hot look.
    bool ControlIsActive() const;
    bool RedrawAllowed() const;
    bool GetBGChanged() const;
    // Updating, or (for a visible child whose own flag is clear) its parent answering command 10.
    bool GetUpdating() const;
    void SetUpdating(bool value) { Updating = value; }

    void Invalidate();
    void BeginUpdate();
    void EndUpdate(bool repaint);
    void UpdateIndexes();
    // The section by control kind while SkinSection is empty, else UpdateIndexes.
    void UpdateDefaultSection();
    // The step after the owner was loaded: the default section, then (skinned, with a parent)
    // command 25 to the form for a windowed owner and the section's colours for edit-like ones.
    void Loaded();
    void UpdateControlColors();
    void UpdateContainerFlag(bool withChildren);
    bool HasOwnLook() const;
    void InitCacheBmp();
    void PrepareCacheBmp();

    // The owner as a form provider, or none.
    TsFormProviderState* Provider() const;
    // What the drawing routines read of the link.
    TsLinkFields Fields() const;

private:
    bool OwnerBusy(unsigned flags) const;
    void TellOwner(TsSkinManager* manager);
    std::string skinSection_;
    bool customColor_ = false;
    bool customFont_ = false;
};

// The section that a control kind gets by default ("" for kinds without one).
std::string DefaultSectionOfKind(int kind);
// The kind sets: no hot look, no glow, repainted when hovered or focused.
bool IsNoHotKind(int kind);
bool IsNoGlowKind(int kind);
bool IsRepaintOnHoverKind(int kind);

// The skin command answers of a link; true when handled. Codes above 60 are ignored, commands
// 1-3 act only for the link's own manager. A pointer command from outside (AcceptSkinCommand,
// sMessages.h) is handled as answered 0.
bool HandleSkinCommand(TMessage& message, TsCommonData& link);
// The ordinary messages of a skinned owner, before its own handling; true when handled wholly.
bool HandleControlMessage(TMessage& message, TsCommonData& link);

// The link's answer to the background query (command 34), for a state.
void GetBGInfo(TsCommonData* link, TsBackgroundInfo& info, int state, HWND handle = nullptr);
// The owner's background colour for a state (see the link's section, its transparency and the
// parent's colour); clBtnFace when nothing is known.
TColor GetControlColor(TsCommonData* link, int state = 0, HWND handle = nullptr);
void GetParentCacheInfo(TsCommonData* link, TsCacheInfo& info);
void GetParentCacheInfoByHandle(HWND handle, TsCacheInfo& info);
bool DependsOnParentBG(TsCommonData* link);
int MaxBorderWidth(TsCommonData* link);
// The section index of the nearest of control and its parents whose section is at most 50 %
// transparent (asked with command 26), when that section gives its own font; else def.
int GetOpaqueParentSkinIndex(TControl* control, int def, TsSkinManager* manager = nullptr);
// Copies the link's cache at offset into r of dc, leaving out the visible children inside r.
void CopyCacheToDC(TControl* control, TsCommonData* link, TPoint offset, bool repaintCorners, HDC dc, const TRect& r);
void CopyGroupBoxCacheToDC(HWND wnd, TsCommonData* link, TPoint offset, HDC dc, const TRect& r);
void UpdateGlow(TsCommonData* link, bool repaint, HWND handle = nullptr);
// The link's glow removed when it shows one.
void RemoveGlow(TsCommonData* link);
