#include "skin/windows/vxGlow.h"

#include <vector>

namespace {
std::vector<HWND> glows;
} // namespace

int ShowGlow(const TRect&, const TRect&, const std::string&, TsSkinManager*, HWND, int, int, const std::string&)
{
    return -1;
}

void HideGlow(int& id)
{
    if (id < 0 || id >= static_cast<int>(glows.size())) return;
    if (glows[static_cast<size_t>(id)]) DestroyWindow(glows[static_cast<size_t>(id)]);
    glows[static_cast<size_t>(id)] = nullptr;
    id = -1;
}

void ClearGlows()
{
    for (HWND g : glows)
        if (g) DestroyWindow(g);
    glows.clear();
}

void GlowStart() {}

void GlowEnd() { ClearGlows(); }
