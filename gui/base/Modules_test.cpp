// The module order of the program block: the starts in the order the modules were added, the
// ends of the started ones in reverse at exit, and a failing start ending those before it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "gui/base/Modules.h"

namespace {

struct TRecordedModules {
    std::vector<std::string> steps;
    TModuleOrder order;
    void Add(const std::string& name, bool failing = false)
    {
        order.Add(
            name,
            [this, name, failing] {
                if (failing) throw std::runtime_error(name + " failed");
                steps.push_back("start " + name);
            },
            [this, name] { steps.push_back("end " + name); });
    }
};

} // namespace

TEST(ModuleOrder, StartsInOrderAndEndsInReverseAtExit)
{
    TRecordedModules m;
    for (const char* name : {"sSkinEngine", "vxGlow", "vxDials", "sSkinControls"})
        m.Add(name);
    m.order.Initialize();
    EXPECT_EQ(m.order.Initialized(), (std::vector<std::string>{"sSkinEngine", "vxGlow", "vxDials", "sSkinControls"}));
    m.order.Finalize();
    EXPECT_EQ(m.steps, (std::vector<std::string>{"start sSkinEngine", "start vxGlow", "start vxDials",
                                                 "start sSkinControls", "end sSkinControls", "end vxDials",
                                                 "end vxGlow", "end sSkinEngine"}));
    EXPECT_TRUE(m.order.Initialized().empty());
}

TEST(ModuleOrder, AFailingStartEndsTheModulesStartedBeforeItInReverse)
{
    TRecordedModules m;
    m.Add("sSkinEngine");
    m.Add("vxGlow");
    m.Add("vxDials", true);
    m.Add("sSkinControls");
    EXPECT_THROW(m.order.Initialize(), std::runtime_error);
    EXPECT_EQ(m.steps, (std::vector<std::string>{"start sSkinEngine", "start vxGlow", "end vxGlow", "end sSkinEngine"}));
    EXPECT_TRUE(m.order.Initialized().empty());
}
