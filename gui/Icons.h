// TIcon: one icon, owning its icon handle (freed with it, or handed on with ReleaseHandle).
//
//   auto icon = std::make_unique<TIcon>();
//   icon->SetHandle(ExtractIconA(...));   // takes ownership
//   if (!icon->Empty()) DrawIconEx(dc, 0, 0, icon->Handle(), 0, 0, 0, nullptr, DI_NORMAL);
#pragma once

#include <windows.h>

#include "gui/base/Classes.h"
#include "gui/base/Handles.h"

class TIcon : public TObject {
    GUI_CLASS(TIcon, TObject)
    TIcon() = default;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    HICON Handle() const { return handle_.get(); }
    // Takes the icon; the one held before is freed.
    void SetHandle(HICON icon) { handle_.reset(icon); }
    // Gives the icon up to the caller, who frees it.
    HICON ReleaseHandle() { return handle_.release(); }
    bool Empty() const { return !handle_; }
    // The size of the icon's picture; 0 when empty.
    int Width() const;
    int Height() const;

private:
    SIZE Size() const;
    TIconHandle handle_;
};
