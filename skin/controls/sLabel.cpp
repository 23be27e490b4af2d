#include "skin/controls/sLabel.h"

#include "skin/controls/sBoundLabel.h"

#include "gui/base/SysUtils.h"

void TsLabel::SetProperty(const std::string& name, const TPropValue& v)
{
    if (SameText(name, "UseSkinColor")) SetUseSkinColor(v.AsBool());
    else TsCustomLabel::SetProperty(name, v);
}

TsEditLabel::~TsEditLabel()
{
    if (boundLabel_) boundLabel_->LabelDestroyed(this);
}
