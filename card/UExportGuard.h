// The frame of every export: no exception ever crosses the library boundary; a failure
// becomes the export's error code.
#pragma once

template <typename R, typename F>
R Guarded(R onError, F&& body)
{
    try {
        return body();
    } catch (...) {
        return onError;
    }
}
