// The program's modules in their fixed order: each may have an initialisation step and a
// finalisation step. The program block lists them once; Initialize runs the steps in that order
// at start, Finalize runs the finalisations of the initialised modules in reverse order at exit
// (after the windows are gone), so a module's state outlives every window that uses it.
//
//   TModuleOrder modules;
//   modules.Add("URegisterCore", [&] { core = std::make_unique<TRegisterCore>(); }, [&] { core.reset(); });
//   modules.Add("UXML_Import", LoadStandardProductList, nullptr);
//   modules.Initialize();
//   ... create the windows, Application->Run() (which frees them) ...
//   modules.Finalize();
#pragma once

#include <functional>
#include <string>
#include <vector>

class TModuleOrder {
public:
    using TStep = std::function<void()>;
    TModuleOrder() = default;
    TModuleOrder(const TModuleOrder&) = delete;
    TModuleOrder& operator=(const TModuleOrder&) = delete;
    // Finalises what is still initialised.
    ~TModuleOrder();

    // Appends a module; either step may be empty.
    void Add(std::string name, TStep initialize, TStep finalize);
    // Initialises the modules in order. When a step raises, the modules initialised before it
    // are finalised (reverse order) and the error goes on to the caller.
    void Initialize();
    // Finalises the initialised modules, the last one first. A step that raises does not keep
    // the others from running; the first error goes on to the caller afterwards.
    void Finalize();
    // The names of the initialised modules, in order.
    std::vector<std::string> Initialized() const;

private:
    struct TModule {
        std::string name;
        TStep initialize, finalize;
    };
    std::vector<TModule> modules_;
    size_t initialized_ = 0;
};
