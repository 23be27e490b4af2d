#include "skin/controls/sGauge.h"

#include <climits>
#include <string>

#include "gui/base/Exceptions.h"

namespace {

[[noreturn]] void OutOfRange(long long low, long long high)
{
    throw EInvalidOperation("Wert muss zwischen " + std::to_string(low) + " und " + std::to_string(high) + " liegen");
}

} // namespace

TsGauge::TsGauge(TComponent* owner) : TsLinkedControl(owner) { SetProgress(47); }

void TsGauge::SetMinValue(int v)
{
    if (v > MaxValue() && !InState(csLoading)) OutOfRange(-INT_MAX, static_cast<long long>(MaxValue()) - 1);
    TGauge::SetMinValue(v);
}

void TsGauge::SetMaxValue(int v)
{
    if (v != MaxValue() && v < MinValue() && !InState(csLoading))
        OutOfRange(static_cast<long long>(MinValue()) + 1, INT_MAX);
    TGauge::SetMaxValue(v);
}
