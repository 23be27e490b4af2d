// TsGauge: the skinned progress gauge (the splash window's InitBar in steps of 20, the
// mass-transaction window's Progr). A TGauge in every respect; a form description names it
// "TsGauge":
//
//   object InitBar: TsGauge
//     MaxValue = 100
//     Progress = 0
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
//   when the whole percentage shown changes (its window text, "40%", follows), and then
//   OnChange runs, whether the percentage changed or not. The same value again does nothing.
#pragma once

#include "gui/ExtCtrls.h"
#include "skin/controls/sLinkedControl.h"

class TsGauge : public TsLinkedControl<TGauge, 161> {
    GUI_CLASS(TsGauge, TGauge)
    explicit TsGauge(TComponent* owner);
    void SetMinValue(int v) override;
    void SetMaxValue(int v) override;
};
