// Objects and components: class identity by name, ownership, names, Tags and the state flags
// that tell a component is being created, read from its description, loaded or destroyed.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/base/PropValue.h"

// Declares the run-time class name of a class and its is-a test by name. Put it first in the
// class body; it leaves the access at public.
#define GUI_CLASS(Name, Base)                                                                                          \
public:                                                                                                                \
    static constexpr const char* StaticClassName = #Name;                                                              \
    const char* ClassName() const override { return #Name; }                                                           \
    bool InheritsFrom(std::string_view n) const override { return n == #Name || Base::InheritsFrom(n); }

class TObject {
public:
    virtual ~TObject() = default;
    virtual const char* ClassName() const { return "TObject"; }
    // True when the object's class or one of its base classes has this name (case-sensitive).
    virtual bool InheritsFrom(std::string_view n) const { return n == "TObject"; }
    bool ClassNameIs(std::string_view n) const { return n == ClassName(); }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Component state flags.
enum : unsigned {
    csLoading = 0x01,    // from creation until Loaded: property changes fire no events
    csReading = 0x02,    // while the description is read
    csDestroying = 0x08, // from BeforeDestruction (or the start of the destructor) on
    csCreating = 0x20,   // until the component's creation (and its form's OnCreate) is finished
};

// A handler of a form as the description names it, already bound to its form; the receiving
// component takes it out with As<event type>.
class TBoundHandler {
public:
    TBoundHandler(std::string name, std::any fn) : name_(std::move(name)), fn_(std::move(fn)) {}
    const std::string& Name() const { return name_; }
    template <class F> F As(const std::string& event) const
    {
        if (const F* f = std::any_cast<F>(&fn_)) return *f;
        WrongKind(event);
    }

private:
    [[noreturn]] void WrongKind(const std::string& event) const;
    std::string name_;
    std::any fn_;
};

class TComponent : public TObject {
    GUI_CLASS(TComponent, TObject)
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Frees the component: BeforeDestruction, then delete. Owners free what they own this way,
    // in reverse creation order. A plain delete skips the first step.
    void Free();
    // The step before the destructor, while the whole object (with its derived parts) still
    // exists: a window is destroyed and a form's OnDestroy runs here, so their handlers may use
    // every member. Runs once; sets csDestroying.
    virtual void BeforeDestruction();
    bool DestructionPrepared() const { return destructionPrepared_; }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& name);
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t tag) { tag_ = tag; }

    // Owned components in creation order; the owner frees them in reverse order.
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    TComponent* FindComponent(std::string_view name) const; // case-insensitive, owned only
    int ComponentIndex() const;

    unsigned ComponentState() const { return state_; }
    bool InState(unsigned flags) const { return (state_ & flags) != 0; }
    void SetState(unsigned flags) { state_ |= flags; }
    void ClearState(unsigned flags) { state_ &= ~flags; }

    // Called once for every component of a description after all of it is read.
    virtual void Loaded();
    // A property from a form description; EComponentError for names the class does not know.
    virtual void SetProperty(const std::string& name, const TPropValue& value);
    // An event from a form description (OnClick = Handler); EComponentError when unknown.
    virtual void SetEventHandler(const std::string& event, const TBoundHandler& handler);
    // Told when a component that this one may refer to goes away.
    virtual void Notification(TComponent* component);
    // Places the component in the object that encloses it in a form description.
    virtual void SetParentComponent(TComponent* parent);

protected:
    [[noreturn]] void UnknownProperty(const std::string& name) const;

private:
    void Insert(TComponent* c);
    void Remove(TComponent* c);
    void NotifyAll(TComponent* gone);

    TComponent* owner_ = nullptr;
    std::string name_;
    intptr_t tag_ = 0;
    unsigned state_ = 0;
    bool destructionPrepared_ = false;
    std::vector<TComponent*> components_;
};

// For std::unique_ptr<T, TComponentFree>: frees with Free.
struct TComponentFree {
    void operator()(TComponent* c) const
    {
        if (c) c->Free();
    }
};

// Dynamic cast by class, for components found by name.
template <class T> T* As(TObject* o) { return dynamic_cast<T*>(o); }
