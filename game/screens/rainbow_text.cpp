// Per-character colours and tilts for every text the game shows.
#include "game/screens/rainbow_text.h"

#include <cstdint>

#include "game/random/random.h"
#include "imagetext/text/text.h"
#include "platform/core/numeric.h"
#include "render2d/drawing/vex2d.h"

namespace {
// The seed product wraps like 32-bit integer arithmetic instead of overflowing.
int WrappingProduct(int a, int b, int c) {
  const std::uint32_t product =
      static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b) * static_cast<std::uint32_t>(c);
  return static_cast<int>(product);
}
}  // namespace

void DrawRainbowText(const String& text, int x, int y, int seed, float scale) {
  const int saved = GetRandomSeed();
  if (seed != 0) {
    SetRandomSeed(seed);
  } else {
    SetRandomSeed(WrappingProduct(x, y, static_cast<int>(text.size())));
  }
  const int width = StringWidth(text);
  int cx = TruncToInt(static_cast<float>(x) - static_cast<float>(width) * scale / 2);
  SetDrawScale(scale, scale);
  const float top = static_cast<float>(y);
  String character(1, u' ');
  for (const char16_t c : text) {
    character[0] = c;
    const int blue = RandomInt(100, 255);
    const int green = RandomInt(100, 255);
    const int red = RandomInt(100, 255);
    SetColor(red, green, blue);
    SetDrawRotation(static_cast<float>(RandomInt(-10, 10)));
    DrawString(character, static_cast<float>(cx), top);
    // NOTE: the advance is summed in float before truncation, so scaled advances round alike
    // on every character.
    cx = TruncToInt(static_cast<float>(cx) + static_cast<float>(StringWidth(character)) * scale);
  }
  SetDrawScale(1, 1);
  SetRandomSeed(saved);
}
