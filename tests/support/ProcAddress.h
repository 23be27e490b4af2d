// Typed lookup of a DLL export, by name or by ordinal.
#pragma once

#include <windows.h>

template <typename Fn> Fn ProcAddress(HMODULE module, const char* nameOrOrdinal)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, nameOrOrdinal)));
}
