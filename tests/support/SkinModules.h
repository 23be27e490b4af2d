// The program's skin modules for a skin test program. The fixture starts them as the program
// block does (AddSkinModules, skin/windows/sStart.h: the engine connected to window skinning,
// glows, the dialog hook, the window adapters, the skin command utilities with SetWindowTheme,
// the skinned menus, the provider's classes), then the extra starts it is given (the skinned
// controls' classes), once per test suite; after the suite they end in reverse order.
//
//   class SkinCommands : public testrig::SkinModulesTest<> {};                  // skin/windows
//   class SkinnedPanel : public testrig::SkinModulesTest<&SkinControlsStart> {}; // skin/controls
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "gui/base/Modules.h"
#include "skin/windows/sStart.h"

namespace testrig {

template <void (*... ExtraStarts)()> class SkinModulesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        modules_ = std::make_unique<TModuleOrder>();
        AddSkinModules(*modules_);
        (modules_->Add("sSkinControls", ExtraStarts, nullptr), ...);
        modules_->Initialize();
    }
    static void TearDownTestSuite() { modules_.reset(); } // the ends, the last module first

private:
    static inline std::unique_ptr<TModuleOrder> modules_;
};

} // namespace testrig
