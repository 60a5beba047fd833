#include "game/app/window_icon.h"

extern const unsigned char window_icon_argb[];
extern const unsigned long window_icon_argb_size;

std::vector<std::uint32_t> WindowIcon() {
  // The data file holds little-endian words, whatever this machine's byte order.
  std::vector<std::uint32_t> icon(window_icon_argb_size / 4);
  for (std::size_t i = 0; i < icon.size(); ++i) {
    const unsigned char* word = window_icon_argb + 4 * i;
    icon[i] = std::uint32_t{word[0]} | std::uint32_t{word[1]} << 8 | std::uint32_t{word[2]} << 16 |
              std::uint32_t{word[3]} << 24;
  }
  return icon;
}
