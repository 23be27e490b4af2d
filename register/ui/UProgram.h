// What the program block and an in-process rig of the whole program share: the modules in their
// fixed start order and the windows in their fixed making order.
#pragma once

#include <functional>
#include <memory>

#include "gui/base/Modules.h"
#include "register/core/URegisterCore.h"

// The skin engine, window skinning's modules and the skinned controls, then the register core,
// the product list (loadProducts) and the journals, which close at the end.
void AddProgramModules(TModuleOrder& modules, std::unique_ptr<TRegisterCore>& core, std::function<void()> loadProducts);

// The windows in their fixed order, the splash first (the application's main form), up to the
// register window; the main window is made last, by the caller.
void CreateProgramForms();
