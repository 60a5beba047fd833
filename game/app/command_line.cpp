#include "game/app/command_line.h"

#include <string_view>

#include "platform/glx/window_scale.h"

namespace {
// Digits with at most one decimal point among them, such as 1.5, 2 or .75, and nothing else.
// NOTE: read by hand, not with strtod, which takes the decimal point of the environment's locale,
// nor with from_chars, which reads no double before GCC 11.
bool ParseDecimal(std::string_view text, double& value) {
  long long digits = 0, divisor = 1;
  bool point = false, any_digit = false;
  for (const char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9' && digits < 100000000000000LL) {
      digits = digits * 10 + (c - '0');
      if (point) divisor *= 10;
      any_digit = true;
    } else {
      return false;
    }
  }
  value = static_cast<double>(digits) / static_cast<double>(divisor);
  return any_digit;
}
}  // namespace

double ParseScale(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) != "--scale") continue;
    const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
    double scale = 0;
    return ParseDecimal(value, scale) && scale >= 1 && scale <= kLargestWindowScale ? scale : 0;
  }
  return -1;
}
