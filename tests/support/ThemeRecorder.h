// Records the calls of the platform's SetWindowTheme that window skinning makes through its one
// entry point, SetWindowThemeProc (skin/windows/sVclUtils.h; the skin link's theme switch and
// the window adapters call through it): for each the window and the two names (none for a
// null pointer). While it lives it replaces the entry point; each call is passed on to the one
// it replaced when there is one (unless passOn is false: then the call answers S_OK and changes
// nothing). Note that the entry point is not none while a recorder lives.
//
//   testrig::TThemeRecorder themes;
//   SendMessageA(edit->Handle(), WM_UPDATEUISTATE, 0, 0);   // an unskinned skinned edit
//   ASSERT_EQ(themes.Calls().size(), 1u);
//   EXPECT_EQ(themes.Calls()[0].SubAppName, L"");
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skin/windows/sVclUtils.h"
#include "tests/support/CallLog.h"

namespace testrig {

struct TThemeCall {
    HWND Wnd = nullptr;
    bool HasSubAppName = false, HasSubIdList = false;
    std::wstring SubAppName, SubIdList;
};

class TThemeRecorder : public TCallLog<TThemeCall> {
public:
    using Call = TThemeCall;

    explicit TThemeRecorder(bool passOn = true) : passOn_(passOn), previous_(SetWindowThemeProc)
    {
        current_ = this;
        SetWindowThemeProc = &Record;
    }
    ~TThemeRecorder()
    {
        SetWindowThemeProc = previous_;
        current_ = nullptr;
    }
    TThemeRecorder(const TThemeRecorder&) = delete;
    TThemeRecorder& operator=(const TThemeRecorder&) = delete;

private:
    static HRESULT WINAPI Record(HWND wnd, LPCWSTR subAppName, LPCWSTR subIdList)
    {
        TThemeRecorder* self = current_;
        Call c;
        c.Wnd = wnd;
        c.HasSubAppName = subAppName != nullptr;
        c.HasSubIdList = subIdList != nullptr;
        if (subAppName) c.SubAppName = subAppName;
        if (subIdList) c.SubIdList = subIdList;
        self->calls_.push_back(std::move(c));
        if (self->passOn_ && self->previous_) return self->previous_(wnd, subAppName, subIdList);
        return S_OK;
    }

    static inline TThemeRecorder* current_ = nullptr;
    bool passOn_;
    TSetWindowThemeProc previous_;
};

} // namespace testrig
