#include "gui/base/Strings.h"

#include <algorithm>

#include "gui/base/SysUtils.h"

void TStrings::Put(int index, const std::string& s)
{
    TObject* o = Objects(index);
    Delete(index);
    InsertObject(index, s, o);
}

TObject* TStrings::Objects(int) const { return nullptr; }
void TStrings::SetObject(int, TObject*) {}

void TStrings::InsertObject(int index, const std::string& s, TObject* o)
{
    Insert(index, s);
    SetObject(index, o);
}

int TStrings::Add(const std::string& s)
{
    int n = Count();
    Insert(n, s);
    return n;
}

int TStrings::AddObject(const std::string& s, TObject* o)
{
    int n = Count();
    InsertObject(n, s, o);
    return n;
}

void TStrings::AddStrings(const TStrings& other)
{
    TStringsUpdate update(*this);
    for (int i = 0; i < other.Count(); ++i)
        AddObject(other.Get(i), other.Objects(i));
}

int TStrings::IndexOf(const std::string& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(Get(i), s)) return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* o) const
{
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == o) return i;
    return -1;
}

std::string TStrings::Text() const
{
    std::string t;
    for (int i = 0; i < Count(); ++i)
        t += Get(i) + "\r\n";
    return t;
}

void TStrings::SetText(const std::string& text)
{
    TStringsUpdate update(*this);
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t e = text.find_first_of("\r\n", i);
        if (e == std::string::npos) {
            Add(text.substr(i));
            break;
        }
        Add(text.substr(i, e - i));
        i = e + ((text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? 2 : 1);
    }
}

std::string TStrings::Names(int index) const
{
    std::string s = Get(index);
    size_t p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

int TStrings::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(Names(i), name)) return i;
    return -1;
}

std::string TStrings::Values(const std::string& name) const
{
    int i = IndexOfName(name);
    return i < 0 ? std::string() : Get(i).substr(name.size() + 1);
}

void TStrings::SetValue(const std::string& name, const std::string& value)
{
    int i = IndexOfName(name);
    if (i >= 0) Put(i, name + "=" + value);
    else Add(name + "=" + value);
}

void TStrings::Assign(const TStrings& other)
{
    if (&other == this) return;
    TStringsUpdate update(*this);
    Clear();
    AddStrings(other);
}

void TStrings::IndexError(int index) const
{
    throw EStringListError("Listenindex überschreitet das Maximum (" + std::to_string(index) + ")");
}

TStringList& TStringList::operator=(const TStringList& other)
{
    items_ = other.items_;
    sorted_ = other.sorted_;
    Changed();
    return *this;
}

void TStringList::CheckIndex(int index, bool allowEnd) const
{
    if (index < 0 || index > Count() || (index == Count() && !allowEnd)) IndexError(index);
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].text;
}

void TStringList::Put(int index, const std::string& s)
{
    CheckIndex(index);
    items_[static_cast<size_t>(index)].text = s;
    Changed();
}

TObject* TStringList::Objects(int index) const
{
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::SetObject(int index, TObject* o)
{
    CheckIndex(index);
    items_[static_cast<size_t>(index)].object = o;
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* o)
{
    if (sorted_) {
        auto it = std::upper_bound(items_.begin(), items_.end(), s, [](const std::string& a, const Item& b) {
            return UpperCase(a) < UpperCase(b.text);
        });
        items_.insert(it, Item{s, o});
    } else {
        CheckIndex(index, true);
        items_.insert(items_.begin() + index, Item{s, o});
    }
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    Changed();
}

int TStringList::IndexOf(const std::string& s) const { return TStrings::IndexOf(s); }

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !sorted_) Sort();
    sorted_ = sorted;
}

void TStringList::Sort()
{
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return UpperCase(a.text) < UpperCase(b.text); });
    Changed();
}

void TStringList::Changed()
{
    if (OnChange) OnChange(this);
}
