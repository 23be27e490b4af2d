// The scrollable window adapters: TvxBaseWnd (the skinned scroll bars with the refresh rules of
// the messages that change the scroll state), TvxEditWnd (edits, memos and list windows: the
// section's frame painted in the non-client area from the link's cache, the skin's colours given
// to the control at its first paint and taken back when the skin goes) and TvxComboListWnd (the
// drop-down list of a combo box). An edit adapter's section is "EDIT" when none is given.
//
//   auto* a = CreateAdapter<TvxEditWnd>(list->Handle(), &list->SkinData(), nullptr, "", true);
//   SendMessageA(list->Handle(), LB_ADDSTRING, 0, LPARAM("Brot"));  // the bars follow
//   RemoveAdapter(list->Handle(), true, false, a);   // Color, Font.Color, FocusColor given back
//
//   auto* c = TvxComboListWnd::CreateEx(listWnd, false, true, "EDIT", manager, &link);
//   delete c;   // a link the caller gave stays alive; one the adapter made goes with it
#pragma once

#include "skin/windows/vxScrollWnd.h"

class TvxBaseWnd : public TvxScrollWnd {
    GUI_CLASS(TvxBaseWnd, TvxScrollWnd)
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxScrollWnd::TvxScrollWnd;
};

class TvxEditWnd : public TvxBaseWnd {
    GUI_CLASS(TvxEditWnd, TvxBaseWnd)
    ~TvxEditWnd() override;

    TColor StdColor = clWindow, StdFontColor = clWindowText, StdFocusColor = clWindow;
    bool HasFocusColor = false;
    TColor EditColor = clWindow; // painted with when there is no owner control
    TColor FramePenColor = 0;

    void AfterCreation() override;
    void BeforeRemove() override;
    void SetNeedsRepaint() override;
    void WndProc(TMessage& m) override;

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxBaseWnd::TvxBaseWnd;
    void Start(const std::string& section, bool repaint) override;
    // Whether the theme is switched off at creation.
    virtual bool SwitchesThemeOff(const std::string& section, bool repaint) const;
    // The frame strips of the cache and the bars into dc (the window DC for none).
    void PaintFrame(HDC dc);
    void Print(TMessage& m);
};

class TvxComboListWnd : public TvxEditWnd {
    GUI_CLASS(TvxComboListWnd, TvxEditWnd)
    ~TvxComboListWnd() override;

    bool ListTracking = false;
    bool SimpleStyle = false;

    // SimpleStyle stored, then the creation; a list that is not of the simple style is made one
    // pixel wider so that its frame is computed again.
    static TvxComboListWnd* CreateEx(HWND handle, bool simpleStyle, bool repaint, const std::string& section,
                                     TsSkinManager* manager, TsCommonData* skinData);

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

    void WndProc(TMessage& m) override;

protected:
    using TvxEditWnd::TvxEditWnd;
    void Start(const std::string& section, bool repaint) override;
    bool SwitchesThemeOff(const std::string& section, bool repaint) const override;
    bool KeepsCaptureAfterBar() const override;
    // The cache for the frame: a drop-down list's sized to the window, filled with EditColor and
    // outlined with FramePenColor; a simple-style list asks itself (command 23).
    void PrepareCache();
    // A simple-style list's parent (the combo box) shows its background where no child covers it.
    void PaintParentAround();
};

// The skinned list box's bars: a Destroyed adapter is freed, then, while the link is skinned, a
// TvxEditWnd is made for the link's owner control when there is none; an unskinned link frees it.
void RefreshEditScrolls(TsCommonData* skinData, TvxEditWnd*& adapter);
