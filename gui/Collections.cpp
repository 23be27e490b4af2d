#include "gui/Collections.h"

#include "gui/Graphics.h"
#include "gui/Published.h"
#include "gui/base/Exceptions.h"
#include "gui/base/StreamBase.h"
#include "gui/base/SysUtils.h"

int TCollectionItem::Index() const
{
    if (!collection_) return -1;
    for (int i = 0; i < collection_->Count(); ++i)
        if (&collection_->Items(i) == this) return i;
    return -1;
}

TCollectionItem& TCollection::Add()
{
    std::unique_ptr<TCollectionItem> item = makeItem_();
    item->collection_ = this;
    items_.push_back(std::move(item));
    return *items_.back();
}

TCollectionItem& TCollection::Items(int index) const
{
    if (index < 0 || index >= Count()) throw ERangeError();
    return *items_[static_cast<size_t>(index)];
}

void TCollection::Delete(int index)
{
    Items(index);
    items_.erase(items_.begin() + index);
}

void TCollection::Assign(const TCollection& source)
{
    if (&source == this) return;
    Clear();
    for (int i = 0; i < source.Count(); ++i)
        AssignPublished(Add(), source.Items(i));
}

void AssignPublished(TObject& dest, TObject& source)
{
    for (const std::string& name : PublishedPropertyNames(dest)) {
        const TPublishedProperty* to = FindPublishedProperty(dest, name);
        const TPublishedProperty* from = FindPublishedProperty(source, name);
        if (!to || !from || to->kind != from->kind) continue;
        if (to->kind != TPublishedValue::Object) {
            if (to->set) to->set(dest, from->get(source));
            continue;
        }
        TObject* d = to->get(dest).object;
        TObject* s = from->get(source).object;
        if (!d || !s || d == s) continue;
        auto* dc = dynamic_cast<TCollection*>(d);
        auto* sc = dynamic_cast<TCollection*>(s);
        auto* db = dynamic_cast<TBitmap*>(d);
        auto* sb = dynamic_cast<TBitmap*>(s);
        if (dc && sc) dc->Assign(*sc);
        else if (db && sb) db->Assign(*sb);
        else AssignPublished(*d, *s);
    }
}

namespace {

[[noreturn]] void Refuse(const TObject& object, const std::string& name, const std::string& why)
{
    throw EComponentError(std::string(object.ClassName()) + "." + name + ": " + why);
}

// A picture from the raw bytes of a bitmap file.
void ReadBitmapData(TBitmap& bitmap, const TPropValue& value)
{
    TMemoryStream bytes;
    bytes.WriteString(StoredBytes(value.AsBinary()));
    bytes.SetPosition(0);
    if (bytes.Size() == 0) bitmap.Clear();
    else bitmap.LoadFromStream(bytes);
}

long long OrdinalOf(const TObject& object, const std::string& name, const TPublishedProperty& p,
                    const TPropValue& value)
{
    if (value.kind == TPropValue::Int) return value.i;
    if (value.kind == TPropValue::Ident) {
        if (SameText(value.s, "True")) return 1;
        if (SameText(value.s, "False")) return 0;
        for (size_t i = 0; i < p.elements.size(); ++i)
            if (SameText(p.elements[i], value.s)) return static_cast<long long>(i);
    }
    Refuse(object, name, "Zahl erwartet");
}

} // namespace

void SetPublishedFromDescription(TObject& object, const std::string& name, const TPropValue& value)
{
    const size_t dot = name.find('.');
    const std::string head = name.substr(0, dot);
    const TPublishedProperty* p = FindPublishedProperty(object, head);
    if (!p) Refuse(object, head, "unbekannte Eigenschaft");
    if (dot != std::string::npos) {
        if (p->kind != TPublishedValue::Object) Refuse(object, head, "kein Objekt");
        TObject* inner = p->get(object).object;
        if (!inner) Refuse(object, head, "kein Objekt");
        const std::string rest = name.substr(dot + 1);
        if (auto* bitmap = dynamic_cast<TBitmap*>(inner); bitmap && SameText(rest, "Data"))
            return ReadBitmapData(*bitmap, value);
        return SetPublishedFromDescription(*inner, rest, value);
    }
    switch (p->kind) {
    case TPublishedValue::Ordinal:
        if (!p->set) Refuse(object, name, "nur lesbar");
        p->set(object, TPublishedValue::OfOrdinal(OrdinalOf(object, name, *p, value)));
        return;
    case TPublishedValue::Text:
        if (!p->set) Refuse(object, name, "nur lesbar");
        if (value.kind != TPropValue::String && value.kind != TPropValue::Ident) Refuse(object, name, "Text erwartet");
        p->set(object, TPublishedValue::OfText(value.s));
        return;
    case TPublishedValue::Set: {
        if (!p->set) Refuse(object, name, "nur lesbar");
        if (value.kind != TPropValue::Set) Refuse(object, name, "Menge erwartet");
        TPublishedValue v;
        v.kind = TPublishedValue::Set;
        v.set = value.items;
        p->set(object, v);
        return;
    }
    case TPublishedValue::Object:
        if (auto* collection = dynamic_cast<TCollection*>(p->get(object).object))
            return ReadCollection(*collection, value);
        Refuse(object, name, "Objekt ohne eigenen Wert");
    case TPublishedValue::Method:
        // Handlers are bound by name (SetEventHandler), not given as values.
        Refuse(object, name, "Ereignis ohne eigenen Wert");
    }
}

void ReadCollection(TCollection& collection, const TPropValue& value)
{
    if (value.kind != TPropValue::Collection) throw EComponentError("Sammlung erwartet");
    collection.Clear();
    for (const std::vector<TPropItem>& properties : value.collection) {
        TCollectionItem& item = collection.Add();
        for (const TPropItem& p : properties)
            SetPublishedFromDescription(item, p.name, p.value);
    }
}
