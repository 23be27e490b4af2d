// Published properties by name (gui/Published.h), as the skin code asks an object of any class
// for a property it may not have. Sets are named by their elements (element 0..31).
#pragma once

#include <any>
#include <string>

#include "gui/base/Classes.h"

bool HasProperty(TObject* object, const std::string& name);
// The object-typed property's value; none when the property is missing or of another kind.
TObject* GetObjProp(TObject* object, const std::string& name);
// The ordinal property's value; -1 when missing or of another kind.
long long GetIntProp(TObject* object, const std::string& name);
// Sets the ordinal property when it exists (and can be written).
void SetIntProp(TObject* object, const std::string& name, long long value);
// The set-typed property holds the element of that name.
bool IsInSetProp(TObject* object, const std::string& name, const std::string& element);
// The event (method property) exists.
bool HasMethodProp(TObject* object, const std::string& name);
// The event's handler; empty when it has none, or when the property is missing or of another
// kind. The caller knows the event's type: std::any_cast<TItsEvent>(&handler).
std::any GetMethodProp(TObject* object, const std::string& name);
// Assigns the event's handler (an empty one removes it) when the event exists.
void SetMethodProp(TObject* object, const std::string& name, std::any handler);
// Adds the element to the set (unless it is there) or takes it out, and writes the set back.
void ChangeSetProp(TObject* object, const std::string& name, const std::string& element, bool add);
