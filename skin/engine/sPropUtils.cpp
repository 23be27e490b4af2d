#include "skin/engine/sPropUtils.h"

#include <algorithm>

#include "gui/Published.h"
#include "gui/base/SysUtils.h"

namespace {

const TPublishedProperty* Find(TObject* object, const std::string& name, TPublishedValue::Kind kind)
{
    if (!object) return nullptr;
    const TPublishedProperty* p = FindPublishedProperty(*object, name);
    return p && p->kind == kind ? p : nullptr;
}

bool Holds(const TPublishedValue& v, const std::string& element)
{
    return std::any_of(v.set.begin(), v.set.end(), [&](const std::string& e) { return SameText(e, element); });
}

} // namespace

bool HasProperty(TObject* object, const std::string& name)
{
    return object && FindPublishedProperty(*object, name) != nullptr;
}

TObject* GetObjProp(TObject* object, const std::string& name)
{
    const TPublishedProperty* p = Find(object, name, TPublishedValue::Object);
    return p ? p->get(*object).object : nullptr;
}

long long GetIntProp(TObject* object, const std::string& name)
{
    const TPublishedProperty* p = Find(object, name, TPublishedValue::Ordinal);
    return p ? p->get(*object).ordinal : -1;
}

void SetIntProp(TObject* object, const std::string& name, long long value)
{
    const TPublishedProperty* p = Find(object, name, TPublishedValue::Ordinal);
    if (p && p->set) p->set(*object, TPublishedValue::OfOrdinal(value));
}

bool IsInSetProp(TObject* object, const std::string& name, const std::string& element)
{
    const TPublishedProperty* p = Find(object, name, TPublishedValue::Set);
    return p && Holds(p->get(*object), element);
}

void ChangeSetProp(TObject* object, const std::string& name, const std::string& element, bool add)
{
    const TPublishedProperty* p = Find(object, name, TPublishedValue::Set);
    if (!p || !p->set) return;
    TPublishedValue v = p->get(*object);
    if (add && !Holds(v, element)) v.set.push_back(element);
    if (!add)
        v.set.erase(
            std::remove_if(v.set.begin(), v.set.end(), [&](const std::string& e) { return SameText(e, element); }),
            v.set.end());
    p->set(*object, v);
}

bool HasMethodProp(TObject* object, const std::string& name)
{
    return Find(object, name, TPublishedValue::Method) != nullptr;
}

std::any GetMethodProp(TObject* object, const std::string& name)
{
    const TPublishedProperty* p = Find(object, name, TPublishedValue::Method);
    return p ? p->get(*object).method : std::any{};
}

void SetMethodProp(TObject* object, const std::string& name, std::any handler)
{
    const TPublishedProperty* p = Find(object, name, TPublishedValue::Method);
    if (p && p->set) p->set(*object, TPublishedValue::OfMethod(std::move(handler)));
}
