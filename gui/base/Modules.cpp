#include "gui/base/Modules.h"

#include <exception>

TModuleOrder::~TModuleOrder()
{
    try {
        Finalize();
    } catch (...) {
        // The program is ending anyway; the error was reported by whoever called Finalize.
    }
}

void TModuleOrder::Add(std::string name, TStep initialize, TStep finalize)
{
    modules_.push_back({std::move(name), std::move(initialize), std::move(finalize)});
}

void TModuleOrder::Initialize()
{
    while (initialized_ < modules_.size()) {
        const TModule& m = modules_[initialized_];
        try {
            if (m.initialize) m.initialize();
        } catch (...) {
            std::exception_ptr error = std::current_exception();
            try {
                Finalize();
            } catch (...) {
            }
            std::rethrow_exception(error);
        }
        ++initialized_;
    }
}

void TModuleOrder::Finalize()
{
    std::exception_ptr first;
    while (initialized_ > 0) {
        const TModule& m = modules_[--initialized_];
        try {
            if (m.finalize) m.finalize();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

std::vector<std::string> TModuleOrder::Initialized() const
{
    std::vector<std::string> names;
    for (size_t i = 0; i < initialized_; ++i)
        names.push_back(modules_[i].name);
    return names;
}
