// The game's window icon, embedded at build time from the rendered icon data.
#pragma once

#include <cstdint>
#include <vector>

// The 16, 32, 48 and 64 pixel icons in _NET_WM_ICON's layout: for each its width, its height and
// its pixels as 0xAARRGGBB.
std::vector<std::uint32_t> WindowIcon();
