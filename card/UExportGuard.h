// The frame of every export: no exception ever crosses the library boundary; a failure
// becomes the export's error code, and its text goes to the debugger's output. The lines the
// export writes to the card monitor are shown together when it returns.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "card/UCardFunc.h"

template <typename R, typename F> R Guarded(R onError, F&& body)
{
    const TExportLines lines;
    try {
        return body();
    } catch (const std::exception& e) {
        OutputDebugStringA((std::string("QsmTool: ") + e.what() + "\n").c_str());
        return onError;
    } catch (...) {
        OutputDebugStringA("QsmTool: unknown error\n");
        return onError;
    }
}
