#include "skin/engine/sStart.h"

#include "gui/FormReader.h"
#include "skin/engine/sConst.h"
#include "skin/engine/sMessages.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/engine/sSysUtils.h"
#include "skin/engine/vxPNG.h"

namespace {
int startCount = 0;
} // namespace

void SkinEngineStart()
{
    if (startCount++ > 0) return;
    PackageTextsStart();
    SkinMessagesStart();
    SkinUtilsStart();
    PNGStart();
    StyleSimplyStart();
    SkinManagerStart();
    RegisterComponentClass<TsSkinManager>();
}

void SkinEngineEnd()
{
    if (startCount == 0 || --startCount > 0) return;
    SkinManagerEnd();
    StyleSimplyEnd();
    PNGEnd();
    SkinUtilsEnd();
    SkinMessagesEnd();
    PackageTextsEnd();
}
