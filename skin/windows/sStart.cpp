#include "skin/windows/sStart.h"

#include "gui/FormReader.h"
#include "gui/Published.h"
#include "gui/base/Modules.h"
#include "skin/engine/sStart.h"
#include "skin/windows/sConnect.h"
#include "skin/windows/sSkinMenus.h"
#include "skin/windows/sSkinProvider.h"
#include "skin/windows/sVclUtils.h"
#include "skin/windows/vxDials.h"
#include "skin/windows/vxGlow.h"
#include "skin/windows/vxSBUtils.h"

namespace {
bool started = false;
} // namespace

void SkinWindowsStart()
{
    if (started) return;
    started = true;
    RegisterComponentClass<TsSkinProvider>();
    using V = TPublishedValue;
    RegisterPublishedProperty(
        TsSkinProvider::StaticClassName, "MakeSkinMenu",
        {V::Ordinal,
         [](TObject& o) { return V::OfOrdinal(static_cast<TsSkinProvider&>(o).MakeSkinMenu()); },
         [](TObject& o, const V& v) { static_cast<TsSkinProvider&>(o).SetMakeSkinMenu(v.ordinal != 0); },
         {}});
    RegisterPublishedProperty(TsSkinProvider::StaticClassName, "AddedTitle",
                              {V::Object,
                               [](TObject& o) { return V::OfObject(&static_cast<TsSkinProvider&>(o).AddedTitle()); },
                               nullptr,
                               {}});
}

void AddSkinModules(TModuleOrder& modules)
{
    modules.Add(
        "sSkinEngine",
        [] {
            ConnectWindowSkinning();
            SkinEngineStart();
        },
        SkinEngineEnd);
    modules.Add("vxGlow", GlowEffectsStart, GlowEffectsEnd);
    modules.Add("vxDials", DialsStart, DialsEnd);
    modules.Add("vxSBUtils", AdaptersStart, AdaptersEnd);
    modules.Add("sVclUtils", VclUtilsStart, VclUtilsEnd);
    modules.Add("sSkinMenus", SkinMenusStart, SkinMenusEnd);
    modules.Add("sSkinProvider", SkinWindowsStart, nullptr);
}
