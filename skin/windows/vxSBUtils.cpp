#include "skin/windows/vxSBUtils.h"

#include "gui/base/Handles.h"
#include "skin/windows/vxTabWnd.h"

TGetScrollBarInfoProc GetScrollBarInfoProc = nullptr;
TFlatSBProc InitializeFlatSBProc = nullptr;
TUninitializeFlatSBProc UninitializeFlatSBProc = nullptr;

namespace {

struct TAdapterLibraries {
    int starts = 0;
    TLibraryHandle user32, comctl32;
} libraries;

template <class Fn> Fn Entry(const TLibraryHandle& library, const char* name)
{
    return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library.get(), name))) : nullptr;
}

} // namespace

void AdaptersStart()
{
    if (libraries.starts++ > 0) return;
    libraries.user32.reset(LoadLibraryA("user32.dll"));
    GetScrollBarInfoProc = Entry<TGetScrollBarInfoProc>(libraries.user32, "GetScrollBarInfo");
    libraries.comctl32.reset(LoadLibraryA("comctl32.dll"));
    UninitializeFlatSBProc = Entry<TUninitializeFlatSBProc>(libraries.comctl32, "UninitializeFlatSB");
    InitializeFlatSBProc = Entry<TFlatSBProc>(libraries.comctl32, "InitializeFlatSB");
}

void AdaptersEnd()
{
    if (libraries.starts == 0 || --libraries.starts > 0) return;
    GetScrollBarInfoProc = nullptr;
    InitializeFlatSBProc = nullptr;
    UninitializeFlatSBProc = nullptr;
    libraries.user32.reset();
    libraries.comctl32.reset();
    FreePageAdapters();
}
