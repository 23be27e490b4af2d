// The frame of every export: no exception ever crosses the library boundary; a failure
// becomes the export's error code, and its text goes to the debugger's output.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

template <typename R, typename F> R Guarded(R onError, F&& body)
{
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
