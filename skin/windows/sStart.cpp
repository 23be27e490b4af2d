#include "skin/windows/sStart.h"

#include "gui/FormReader.h"
#include "gui/Published.h"
#include "skin/windows/sSkinProvider.h"

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
