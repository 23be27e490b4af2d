// The list of calls a recorder of a replaced entry point keeps (ThemeRecorder.h,
// LayeredRecorder.h): every call in order, those made for one window, and a clear. A Call has
// a member Wnd.
#pragma once

#include <windows.h>

#include <vector>

namespace testrig {

template <class TCall> class TCallLog {
public:
    const std::vector<TCall>& Calls() const { return calls_; }
    std::vector<TCall> CallsFor(HWND wnd) const
    {
        std::vector<TCall> v;
        for (const TCall& c : calls_)
            if (c.Wnd == wnd) v.push_back(c);
        return v;
    }
    void Clear() { calls_.clear(); }

protected:
    std::vector<TCall> calls_;
};

} // namespace testrig
