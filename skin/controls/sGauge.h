// TsGauge: the skinned progress gauge (the splash window's InitBar in steps of 20, the
// mass-transaction window's Progr). A TGauge in every respect; a form description names it
// "TsGauge":
//
//   object InitBar: TsGauge
//     MaxValue = 100
//     Progress = 0
//     ShowText = False
//     ProgressSkin = 'PROGRESSH'
//     OnChange = InitBarChange
//   end
//
// A new gauge runs from MinValue 0 to MaxValue 100 and stands at Progress 47; descriptions store
// the value they start with.
// - MaxValue: outside loading, a value different from the present one and below MinValue
//   raises EInvalidOperation "Wert muss zwischen <MinValue + 1> und 2147483647 liegen" and
//   changes nothing; otherwise it is stored, Progress is lowered to it when larger (OnChange
//   does not run for that) and the gauge repaints.
// - MinValue: outside loading, a value above MaxValue raises "Wert muss zwischen -2147483647 und
//   <MaxValue - 1> liegen"; otherwise Progress is raised to it when smaller.
// - Progress: limited to MinValue..MaxValue; a different value is stored, the gauge repaints
//   when the whole percentage shown changes (its caption, "40%", follows; a driver reads it
//   through the form's query), and then OnChange runs, whether the percentage changed or not.
//   The same value again does nothing. MinValue = MaxValue is 0 %.
//
// Painting. The text shown (ShowText) is PercentDone (CalcPercents, else Progress) followed by
// Suffix ("%"); a bar of Z pixels at N % is BarLength(N, Z) = Trunc(Z x N x 0.01) long.
// - Without a skin: a classic gauge of its Kind (text, horizontal or vertical bar, pie, needle)
//   in ForeColor over BackColor inside a black one-pixel border (BorderStyle bsSingle), the text
//   inverted over bar and background (a vertical bar at 100 % leaves the top row of its area
//   empty).
// - Skinned (SkinData, control kind 161, section "GAUGE"): the section over the parent's
//   background, the text in the section's colours, then the bar from the left (a vertical one
//   from the bottom) painted with the section ProgressSkin ("PROGRESSH", or "PROGRESSV" for a
//   vertical gauge that is not Animated) with the text again in that section's colours. A
//   missing GAUGE or progress section leaves out what it would have painted. While its parent
//   is updating only the pixel (0, 0) is painted, in 0xFF00FF.
// - Animated (the default) and skinned: every 22 ms a light (the program's raw-data resource
//   "VXGL", a PNG with alpha, stretched to 300 pixels by the bar's thickness) sweeps along the
//   bar, once every 2222 ms; the skin's removal stops it. Without the resource, or with one
//   that is no PNG, the bar has no light.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/ExtCtrls.h"
#include "skin/controls/sLinkedControl.h"
#include "skin/engine/vxFastBitmaps.h"

class TsGauge : public TsLinkedControl<TGauge, 161> {
    GUI_CLASS(TsGauge, TGauge)
    explicit TsGauge(TComponent* owner);
    ~TsGauge() override;
    void SetMinValue(int v) override;
    void SetMaxValue(int v) override;

    const std::string& Suffix() const { return suffix_; }
    void SetSuffix(const std::string& suffix);
    bool CalcPercents() const { return calcPercents_; }
    void SetCalcPercents(bool on);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool Animated() const { return animated_; }
    void SetAnimated(bool on);
    const std::string& ProgressSkin() const { return progressSkin_; }
    void SetProgressSkin(const std::string& section);
    // The text as the gauge shows it ("37%").
    std::string ShownText() const;
    static int BarLength(int percent, int size);

    // The light animation: whether its timer runs, the light's place (its first column on the
    // bar; 9999 before the first sweep), and one step of it (what the timer does every 22 ms).
    bool AnimationRunning() const;
    int LightPosition() const { return lightPos_; }
    void AnimationTick();

    void Paint(TCanvas& canvas) override;
    // The skinned look into the link's cache bitmap.
    virtual void PrepareCache();
    void Loaded() override;
    void SetProperty(const std::string& name, const TPropValue& value) override;

protected:
    void WndProc(TMessage& m) override;

private:
    void PaintClassic(TCanvas& canvas);
    // The kind's classic drawing into r of dc (the classic overlay, or the skinned cache).
    void DrawClassicKind(HDC dc, const RECT& r, int w, int h);
    void PaintSkinnedBar(TBitmap* cache);
    // A bar from the left of target (its whole height thick) in the progress section.
    void PaintHorizontalBar(TBitmap* target, int section);
    // Pixels kept in memory between paints (no GDI object): the light and the bar. Lines
    // points into Bytes (a move keeps the buffer); not copied.
    struct TPixels {
        TPixels() = default;
        TPixels(int width, int height, int bytesPerPixel)
            : Bytes(static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(bytesPerPixel)),
              Lines{Bytes.data(), static_cast<ptrdiff_t>(width) * bytesPerPixel, width, height, bytesPerPixel}
        {}
        TPixels(TPixels&&) noexcept = default;
        TPixels& operator=(TPixels&&) noexcept = default;
        TPixels(const TPixels&) = delete;
        TPixels& operator=(const TPixels&) = delete;
        std::vector<uint8_t> Bytes;
        TvxScanLines Lines;
    };
    void DrawLight(TBitmap* bar, int section);
    // The light image for a bar of this thickness (32 bits, LightLength long), none when it
    // cannot be made.
    const TvxScanLines* Light(int thickness);
    TPixels MakeLight(int thickness) const;
    void SetTimerOn(bool on);
    std::string suffix_ = "%";
    bool calcPercents_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    bool animated_ = true;
    std::string progressSkin_;
    std::unique_ptr<TTimer> timer_;
    int clock_ = 2223;
    int lightPos_ = 9999;
    TPixels light_;
    int lightThickness_ = -1; // the thickness light_ was made (or tried) for
    TPixels barImage_;        // the painted bar (24 bits), reused while its size matches
};

// Test seam: the raw-data resource of the program the gauges make their light from ("VXGL";
// any other name makes the next light from that one). Answers the name before.
std::string SetGaugeLightResource(const std::string& name);
