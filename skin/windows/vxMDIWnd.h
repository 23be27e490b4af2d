// TvxMDIWnd: the adapter of an MDI main form's client window while the form's provider is
// skinned; TsMDIForm (sMDIForm.h) makes it and gives it the form, the provider's skin link and
// the provider. It paints no section of its own: the client window shows the piece of the
// provider's form image that lies under it (the image's MDI area), its 2-pixel edge from the
// image too, and the skinned scroll bars of its own link ("CHECKBOX"). It keeps the provider's
// image up to date when the children are tiled or cascaded and when the frame's menu changes.
// The skin broadcasts reach it through its main form (it is not in HookedWindowList):
//
//   auto* a = CreateAdapter<TvxMDIWnd>(form->ClientHandle(), nullptr, manager, "CHECKBOX", true);
//   a->Form = form; a->FormSkinData = &provider->SkinData(); a->Provider = provider;
//   ...            // WM_ERASEBKGND: the image under the client area; WM_PRINT: under the window
//   delete a;      // the client window is plain again
//
// With a maximised active child (which covers the whole area) WM_NCPAINT and WM_ERASEBKGND are
// answered 1 and nothing is painted; while RepaintLocked the area is not painted either. A
// form image the provider cannot make leaves the window as it is; a skin without "MDIAREA"
// while the provider may not repaint fills the area with the form's colour.
#pragma once

#include "skin/windows/vxEditWnd.h"

class TForm;
class TsSkinProvider;

class TvxMDIWnd : public TvxBaseWnd {
    GUI_CLASS(TvxMDIWnd, TvxBaseWnd)
    ~TvxMDIWnd() override;

    TForm* Form = nullptr;
    TsCommonData* FormSkinData = nullptr;
    TsSkinProvider* Provider = nullptr;

    void WndProc(TMessage& m) override;
    // Where the client window lies in the form image (image coordinates).
    RECT AreaRect() const;
    // The form image under the client area (wholeWindow: under the whole window) into dc at 0, 0.
    void PaintArea(HDC dc, bool wholeWindow);
    // The window's 2-pixel edge from the image into its window DC.
    void PaintEdge(HDC dc);

    template <class T>
    friend T* CreateAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager, const std::string& section,
                            bool repaint);

protected:
    using TvxBaseWnd::TvxBaseWnd;
    // Hooked by handle, but out of HookedWindowList: the broadcasts reach the client window
    // through its main form.
    void Attach(bool repaint) override;

private:
    // The provider's link is skinned (whether or not its skin is loaded).
    bool FormSkinned() const;
    // The active child is maximised.
    bool MaximisedChild() const;
    // After WM_MDITILE and WM_MDICASCADE.
    void Arranged();
    // The answers that need the form; false when the message takes the default path.
    bool FormMessage(TMessage& m);
    void NonClientPaint();
};
