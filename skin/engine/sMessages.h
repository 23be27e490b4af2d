// The skin command message through which skinned windows and controls ask and tell each other:
// SM_VELOCONCMD, fixed to 0xA100 at start (the name is registered with the system first, and
// the number it gives is not used). wParam: the command in the high word, a small argument in
// the low word (1 yes, 0 no); lParam: per command; the result is the answer.
//
// Commands go to a windowed control that has a handle, and to any window handle, by
// SendMessage; a windowed control without a handle, or one being destroyed, gets nothing
// (answer 0); a graphic control gets the message through its own dispatch (Perform). The
// senders are in skin/windows/sVclUtils.h.
//
// A child asks its parent for the background it paints over with command 34 and a
// TsBackgroundInfo (GetParentBackground); a control keeps where its background comes from in
// a TsCacheInfo.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/base/Geometry.h"

extern UINT SM_VELOCONCMD;
constexpr UINT SkinCommandMessage = 0xA100;

// The command codes (high word of wParam).
enum : WORD {
    cmdSkinChanged = 1,
    cmdRemoveSkin = 2,
    cmdRefresh = 3,
    cmdGetProvider = 4,
    cmdUpdateEnded = 6,
    cmdIsSkinned = 7,
    cmdSetBGChanged = 8,
    cmdFreezeCache = 9, // low word 1: no cache rebuild until the command comes with 0
    cmdGetBGChanged = 10,
    cmdGetPartlyHidden = 11,
    cmdSkinChangeDone = 16,
    cmdHasComplexBG = 19,
    cmdParentBGChanged = 20,
    cmdGetBGColor = 21,
    cmdSetPartlyHidden = 22,
    cmdRefreshCache = 23,   // paint the cache bitmap in the present state, not on the screen
    cmdPaintFadeFrame = 24, // lParam a fade frame (TBitmap*): 0 lets the fade draw it
    cmdAnnounceControl = 25,
    cmdGetSkinIndex = 26,
    cmdMouseEnter = 29,
    cmdMouseLeave = 30,
    cmdBeginUpdate = 31,
    cmdEndUpdate = 32,
    cmdGetBGInfo = 34,
    cmdContainerFlags = 36,
};
// Link handlers ignore command codes above this.
constexpr WORD cmdLastLinkCommand = 60;

// wParam of a command: the code in the high word, the argument in the low word.
constexpr WPARAM SkinCommandWParam(WORD command, WORD argument = 0)
{
    return static_cast<WPARAM>(static_cast<uint32_t>(command) << 16 | argument);
}

// Kinds of background answer (TsBackgroundInfo::BgType).
enum : uint8_t { btUnknown = 0, btFill = 1, btCache = 2 };

// The record of the background query (command 34): the asker fills it, the parent completes it.
struct TsBackgroundInfo {
    TBitmap* Bmp = nullptr;     // the parent's cache bitmap, or none
    TColor Color = clFuchsia;   // valid with btFill; clFuchsia means no colour
    TPoint Offset;              // where the asker's area begins in Bmp
    TRect R;                    // the area to paint, in the coordinates of DrawDC
    uint8_t BgType = btUnknown; // btUnknown: nobody answered
    uint8_t PleaseDraw = 0;     // the parent is to paint into DrawDC at R itself
    HDC DrawDC = nullptr;
};

// Where a control's background comes from, in short.
struct TsCacheInfo {
    TBitmap* Bmp = nullptr;
    int32_t X = 0, Y = 0;
    TColor FillColor = clFuchsia; // clFuchsia: no colour
    uint8_t Ready = 0;            // Bmp and the offsets are valid
};

// Bmp at (x, y), no fill colour, ready.
TsCacheInfo MakeCacheInfo(TBitmap* bmp, int x, int y);
// A bitmap answer (btCache) as MakeCacheInfo; otherwise the offsets, not ready, no bitmap and
// the answer's colour as RGB.
TsCacheInfo BackgroundToCacheInfo(const TsBackgroundInfo& info);

// The background query to a parent control (command 34: SendMessage to a windowed parent with
// a handle, Perform otherwise) or to a parent window handle (SendMessage). True when the
// parent answered. Without an answer:
//  - when the record asked for drawing already (PleaseDraw set before the call): the parent's
//    WM_ERASEBKGND and WM_PAINT are drawn into DrawDC, its origin moved by -Offset and clipped
//    to R (shifted by Offset), and the DC is restored;
//  - otherwise BgType becomes btFill: for a control, Color is its answer to command 21, or its
//    own colour as RGB when it answers 0 (and R of DrawDC is filled with it when pleaseDraw and
//    Bmp are set); for a handle, the default skin manager's global colour, or clBtnFace
//    without a default manager.
bool GetParentBackground(TControl* parent, TsBackgroundInfo& info, bool pleaseDraw);
bool GetParentBackgroundByHandle(TsBackgroundInfo& info, HWND parent, bool pleaseDraw);

// The colour of a section at transparency t (percent) over a base colour, both RGB: t 0 gives
// the section's colour, t 100 the base; between, each channel is
// (t * (base - section) + section * 256) >> 8, limited to 0..255 (the divisor is 256, so t 50
// mixes 50/256 of the way: section 200 over base 0 gives 160).
TColor MixTransparentColor(int transparency, TColor sectionRGB, TColor baseRGB);

// Commands from outside. The message lies in the application range, so any process can send
// or post it; the commands whose lParam points into this process (24 a fade frame, 25 a
// control, 26 an integer, 34 a TsBackgroundInfo) are obeyed only when sent within the window's
// own thread (InSendMessage false) with a non-zero lParam (25 also with 0: the whole form).
// Every handler of skin commands asks AcceptSkinCommand first and answers a refused command 0:
//
//   if (!AcceptSkinCommand(m)) { m.Result = 0; return; }
//
// Posted, such a command never reaches a window: the GUI thread's message filter (installed by
// the start step below) turns it into WM_NULL, in the program's loop and in the modal loops of
// menus and message boxes alike (nothing here posts a skin command). The filter drops the
// class library's notifications that carry a pointer (NotificationCarriesPointer, gui/Controls.h,
// CM_CONTROLLISTCHANGE among them) posted to its windows as well.
bool SkinCommandCarriesPointer(WORD command);
bool AcceptSkinCommand(const TMessage& message);
// The posted message is one the filter drops.
bool DropPostedMessage(const MSG& msg);

// Start step of the message: registers the name, then fixes the number to 0xA100; installs the
// filter of posted messages on the calling (GUI) thread. Starts are counted: the end step that
// matches the first start removes the filter.
void SkinMessagesStart();
void SkinMessagesEnd();
