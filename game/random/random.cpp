#include "game/random/random.h"

#include <cstdint>

#include "platform/core/numeric.h"

namespace {
std::int32_t state = 4660;

// Schrage's method: no product leaves 32 bits.
std::int32_t Step() {
  state = 48271 * (state % 44488) - 3399 * (state / 44488);
  if (state < 0) state += 2147483647;
  return state;
}
}  // namespace

double RandomUnit() {
  const double high = Step() & 0x1FFFFFFC;
  const double low = Step() & 0x1FFFFFF8;
  return (high + low / 134217728.0) / 536870912.0;
}

double RandomReal(double a, double b) {
  if (b > a) return a + RandomUnit() * (b - a);
  return b + RandomUnit() * (a - b);
}

int RandomInt(int a, int b) {
  // NOTE: widened so that bounds far apart cannot overflow the difference.
  const std::int64_t d = static_cast<std::int64_t>(b) - a;
  if (d > 0) return a + TruncToInt(RandomUnit() * static_cast<double>(d + 1));
  return b + TruncToInt(RandomUnit() * static_cast<double>(1 - d));
}

float RandomFloatStep() {
  return static_cast<float>(Step() & 0xFFFFFF0) / 268435456.0f;
}

void SetRandomSeed(int seed) {
  state = seed & 0x7FFFFFFF;
  if (state == 0 || state == 0x7FFFFFFF) state = 4660;
}

int GetRandomSeed() {
  return state;
}
