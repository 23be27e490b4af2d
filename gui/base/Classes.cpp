#include "gui/base/Classes.h"

#include <algorithm>

#include "gui/base/SysUtils.h"

void TBoundHandler::WrongKind(const std::string& event) const
{
    throw EComponentError("Handler '" + name_ + "' passt nicht zu " + event);
}

TComponent::TComponent(TComponent* owner)
{
    if (owner) owner->Insert(this);
}

TComponent::~TComponent()
{
    state_ |= csDestroying;
    while (!components_.empty())
        components_.back()->Free();
    if (TComponent* owner = owner_) {
        owner->Remove(this);
        // Components of the same owner may refer to this one (menus, focus controls).
        owner->NotifyAll(this);
    }
}

void TComponent::Free()
{
    BeforeDestruction();
    delete this;
}

void TComponent::BeforeDestruction()
{
    destructionPrepared_ = true;
    state_ |= csDestroying;
}

void TComponent::Insert(TComponent* c)
{
    c->owner_ = this;
    components_.push_back(c);
}

void TComponent::Remove(TComponent* c)
{
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
    c->owner_ = nullptr;
}

void TComponent::NotifyAll(TComponent* gone)
{
    if (InState(csDestroying)) return;
    Notification(gone);
    for (TComponent* c : components_)
        c->Notification(gone);
}

void TComponent::SetName(const std::string& name) { name_ = name; }

TComponent* TComponent::FindComponent(std::string_view name) const
{
    for (TComponent* c : components_)
        if (SameText(c->name_, std::string(name))) return c;
    return nullptr;
}

int TComponent::ComponentIndex() const
{
    if (!owner_) return -1;
    auto& v = owner_->components_;
    return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TComponent::Loaded() { state_ &= ~(csLoading | csReading); }

void TComponent::SetProperty(const std::string& name, const TPropValue& value)
{
    if (SameText(name, "Tag")) SetTag(value.AsInt());
    else if (SameText(name, "Name")) SetName(value.AsString());
    else UnknownProperty(name);
}

void TComponent::SetEventHandler(const std::string& event, const TBoundHandler&)
{
    throw EComponentError(std::string(ClassName()) + " " + name_ + " kennt das Ereignis " + event + " nicht");
}

void TComponent::Notification(TComponent*) {}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::UnknownProperty(const std::string& name) const
{
    throw EComponentError(std::string(ClassName()) + " " + name_ + " kennt die Eigenschaft " + name + " nicht");
}
