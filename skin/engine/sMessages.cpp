#include "skin/engine/sMessages.h"

#include "skin/engine/sSkinManager.h"
#include "skin/engine/sUtils.h"

UINT SM_VELOCONCMD = SkinCommandMessage;

bool SkinCommandCarriesPointer(WORD command)
{
    return command == cmdPaintFadeFrame || command == cmdAnnounceControl || command == cmdGetSkinIndex ||
           command == cmdGetBGInfo;
}

bool AcceptSkinCommand(const TMessage& message)
{
    if (message.Msg != SM_VELOCONCMD) return true;
    const WORD command = HIWORD(message.WParam);
    if (!SkinCommandCarriesPointer(command)) return true;
    return !InSendMessage() && (message.LParam != 0 || command == cmdAnnounceControl);
}

bool DropPostedMessage(const MSG& msg)
{
    if (msg.message == SM_VELOCONCMD) return SkinCommandCarriesPointer(HIWORD(msg.wParam));
    return NotificationCarriesPointer(msg.message) && TWinControl::FromHandle(msg.hwnd);
}

namespace {

HHOOK postedFilter = nullptr;
int messageStarts = 0; // the filter stays until the end of the first start

LRESULT CALLBACK FilterPostedMessages(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION)
        if (auto* msg = reinterpret_cast<MSG*>(lParam); msg && DropPostedMessage(*msg)) {
            msg->message = WM_NULL;
            msg->wParam = 0;
            msg->lParam = 0;
        }
    return CallNextHookEx(postedFilter, code, wParam, lParam);
}

} // namespace

void SkinMessagesStart()
{
    SM_VELOCONCMD = RegisterWindowMessageA("SM_VELOCONCMD");
    SM_VELOCONCMD = SkinCommandMessage;
    if (messageStarts++ == 0)
        postedFilter = SetWindowsHookExA(WH_GETMESSAGE, &FilterPostedMessages, nullptr, GetCurrentThreadId());
}

void SkinMessagesEnd()
{
    if (messageStarts == 0 || --messageStarts > 0) return;
    if (postedFilter) UnhookWindowsHookEx(postedFilter);
    postedFilter = nullptr;
}

TsCacheInfo MakeCacheInfo(TBitmap* bmp, int x, int y)
{
    TsCacheInfo c;
    c.Bmp = bmp;
    c.X = x;
    c.Y = y;
    c.FillColor = clFuchsia;
    c.Ready = 1;
    return c;
}

TsCacheInfo BackgroundToCacheInfo(const TsBackgroundInfo& info)
{
    if (info.BgType == btCache) return MakeCacheInfo(info.Bmp, info.Offset.X, info.Offset.Y);
    TsCacheInfo c;
    c.X = info.Offset.X;
    c.Y = info.Offset.Y;
    c.Ready = 0;
    c.FillColor = static_cast<TColor>(ColorToRGB(info.Color));
    return c;
}

namespace {

void FillRectOfDC(HDC dc, const TRect& r, TColor color)
{
    const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    const int saved = SaveDC(dc);
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    FillRect(dc, &rc, brush.get());
    RestoreDC(dc, saved);
}

// The parent paints itself into the record's DC, at the asker's offset and clipped to R.
template <class Send> void DrawParentInto(TsBackgroundInfo& info, Send send)
{
    HDC dc = info.DrawDC;
    const int saved = SaveDC(dc);
    POINT old;
    OffsetViewportOrgEx(dc, -info.Offset.X, -info.Offset.Y, &old);
    const TRect r{info.R.Left + info.Offset.X, info.R.Top + info.Offset.Y, info.R.Right + info.Offset.X,
                  info.R.Bottom + info.Offset.Y};
    info.R = r;
    IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    send(WM_PAINT, reinterpret_cast<WPARAM>(dc));
    RestoreDC(dc, saved);
}

} // namespace

bool GetParentBackground(TControl* parent, TsBackgroundInfo& info, bool pleaseDraw)
{
    const bool askedToDraw = info.PleaseDraw != 0;
    info.BgType = btUnknown;
    info.PleaseDraw = pleaseDraw;
    auto* windowed = dynamic_cast<TWinControl*>(parent);
    if (windowed && windowed->HandleAllocated())
        SendMessageA(windowed->Handle(), SM_VELOCONCMD, SkinCommandWParam(cmdGetBGInfo),
                     reinterpret_cast<LPARAM>(&info));
    else parent->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdGetBGInfo), reinterpret_cast<LPARAM>(&info));
    if (info.BgType != btUnknown) return true;

    if (askedToDraw && info.DrawDC) {
        DrawParentInto(info, [&](UINT msg, WPARAM dc) { parent->Perform(msg, dc, 0); });
        return false;
    }
    info.BgType = btFill;
    const LRESULT answer = parent->Perform(SM_VELOCONCMD, SkinCommandWParam(cmdGetBGColor), 0);
    info.Color = answer != 0 ? static_cast<TColor>(answer) : static_cast<TColor>(ColorToRGB(parent->Color()));
    if (info.PleaseDraw && info.Bmp && !info.Bmp->Empty() && info.DrawDC) FillRectOfDC(info.DrawDC, info.R, info.Color);
    return false;
}

bool GetParentBackgroundByHandle(TsBackgroundInfo& info, HWND parent, bool pleaseDraw)
{
    const bool askedToDraw = info.PleaseDraw != 0;
    info.BgType = btUnknown;
    info.PleaseDraw = pleaseDraw;
    SendMessageA(parent, SM_VELOCONCMD, SkinCommandWParam(cmdGetBGInfo), reinterpret_cast<LPARAM>(&info));
    if (info.BgType != btUnknown) return true;

    if (askedToDraw && info.DrawDC) {
        DrawParentInto(info, [&](UINT msg, WPARAM dc) { SendMessageA(parent, msg, dc, 0); });
        return false;
    }
    TsSkinManager* manager = DefaultManager();
    info.Color = manager ? manager->GetGlobalColor() : clBtnFace;
    info.BgType = btFill;
    return false;
}

TColor MixTransparentColor(int transparency, TColor sectionRGB, TColor baseRGB)
{
    if (transparency <= 0) return sectionRGB;
    if (transparency >= 100) return baseRGB;
    TColor result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int section = (sectionRGB >> shift) & 0xFF;
        const int base = (baseRGB >> shift) & 0xFF;
        result |= ClampByte((transparency * (base - section) + section * 256) >> 8) << shift;
    }
    return result;
}
