#include "skin/controls/sLabel.h"

#include "gui/base/SysUtils.h"

void TsLabel::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "UseSkinColor")) SetUseSkinColor(v.AsBool());
    else TsCustomLabel::SetProperty(name, v);
}
