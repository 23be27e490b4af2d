#include "register/ui/UScanForm.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdint>

#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/base/Handles.h"
#include "register/core/ULang.h"
#include "register/core/UQR.h"
#include "skin/controls/sButton.h"

TScanForm* ScanForm = nullptr;

namespace {

constexpr const char* kInstruction = "Mauszeiger über den OR-Code des Belegs zentrieren";
// The view shows the screen twice magnified.
constexpr int kMagnification = 2;

} // namespace

TScanForm::~TScanForm()
{
    if (ScanForm == this) ScanForm = nullptr;
}

const TFormBindings& TScanForm::Bindings() const
{
    static const TFormBindings b = {
        {"Image1", &TScanForm::Image1},
        {"Shape1", &TScanForm::Shape1},
        {"Memo1", &TScanForm::Memo1},
        {"VerifyBox", &TScanForm::VerifyBox},
        {"WebButton", &TScanForm::WebButton},
        {"ContentButton", &TScanForm::ContentButton},
        {"IvmButton", &TScanForm::IvmButton},
        {"ResetButton", &TScanForm::ResetButton},
        {"Timer1", &TScanForm::Timer1},
        {"BlinkTimer", &TScanForm::BlinkTimer},
        {"FormShow", &TScanForm::FormShow},
        {"FormClose", &TScanForm::FormClose},
        {"Timer1Timer", &TScanForm::Timer1Timer},
        {"BlinkTimerTimer", &TScanForm::BlinkTimerTimer},
        {"ResetButtonClick", &TScanForm::ResetButtonClick},
    };
    return b;
}

void TScanForm::SetSquareColor(TColor color)
{
    Shape1->Brush().SetColor(color);
    Shape1->Pen().SetColor(color);
    Shape1->Invalidate();
}

void TScanForm::ArmScan()
{
    Memo1->SetText(kInstruction);
    SetSquareColor(clRed);
    Timer1->SetEnabled(true);
    BlinkTimer->SetEnabled(true);
    ResetButton->SetVisible(false);
    armed_ = 1;
}

void TScanForm::CompleteScan()
{
    if (!armed_) return;
    SetFocus();
    armed_ = 0;
    BlinkTimer->SetEnabled(false);
    SetSquareColor(clLime);
    Shape1->SetVisible(true);
    MessageBeep(MB_OK);
    const std::string url = UQR::GetVerifyUrl();
    Memo1->SetText(url);
    if (!url.empty() && WebButton->Checked()) {
        const HINSTANCE opened = ShellExecuteA(Handle(), "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<std::intptr_t>(opened) <= 32) ShowMessage("Internetseite konnte nicht geöffnet werden!");
    }
    ResetButton->SetVisible(true);
}

RECT TScanForm::ViewArea(POINT pointer, int viewWidth, int viewHeight, const RECT& screen)
{
    const int w = std::max(viewWidth / kMagnification, 1);
    const int h = std::max(viewHeight / kMagnification, 1);
    int left = pointer.x - (w + 1) / 2;
    int top = pointer.y - (h + 1) / 2;
    left = std::max(std::min(left, static_cast<int>(screen.right) - w), static_cast<int>(screen.left));
    top = std::max(std::min(top, static_cast<int>(screen.bottom) - h), static_cast<int>(screen.top));
    return RECT{left, top, left + w, top + h};
}

void TScanForm::Timer1Timer(TObject*)
{
    POINT pointer;
    if (!GetCursorPos(&pointer)) return;
    // Over the view itself the copy would show itself again and again.
    RECT view;
    GetWindowRect(Image1->Handle(), &view);
    if (PtInRect(&view, pointer)) return;
    const int width = Image1->Width(), height = Image1->Height();
    const RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                      GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const RECT area = ViewArea(pointer, width, height, screen);
    TCanvas& canvas = Image1->Canvas();
    {
        TWindowDC desktop(nullptr);
        SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
        StretchBlt(canvas.Handle(), 0, 0, width, height, desktop.get(), area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SRCCOPY);
    }
    const int x = kMagnification * (pointer.x - area.left), y = kMagnification * (pointer.y - area.top);
    canvas.Pen().SetColor(clRed);
    canvas.MoveTo(x - width / 4, y);
    canvas.LineTo(x + width / 4 + 1, y);
    canvas.MoveTo(x, y - height / 4);
    canvas.LineTo(x, y + height / 4 + 1);
    Image1->Invalidate();
}

void TScanForm::BlinkTimerTimer(TObject*) { Shape1->SetVisible(!Shape1->Visible()); }

void TScanForm::ResetButtonClick(TObject*) { ArmScan(); }

void TScanForm::FormShow(TObject*) { Memo1->SetText(ULang::GetText(75)); }

void TScanForm::FormClose(TObject*, TCloseAction&)
{
    Timer1->SetEnabled(false);
    armed_ = 0;
}
