#include "platform/core/text.h"

#include <cstdint>

String IntToString(int value) {
  // Work in the negative range so that the most negative int needs no special case.
  char16_t digits[12];
  int count = 0;
  int rest = value < 0 ? value : -value;
  do {
    digits[count++] = static_cast<char16_t>(u'0' - rest % 10);
    rest /= 10;
  } while (rest != 0);
  String text;
  if (value < 0) text.push_back(u'-');
  while (count > 0) text.push_back(digits[--count]);
  return text;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

String FromUtf8(std::string_view text) {
  String out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<std::uint8_t>(text[i]);
    std::uint32_t code = byte;
    std::size_t length = 1;
    if (byte >= 0xE0 && i + 2 < text.size()) {
      code = ((byte & 0x0Fu) << 12) | ((static_cast<std::uint8_t>(text[i + 1]) & 0x3Fu) << 6) |
             (static_cast<std::uint8_t>(text[i + 2]) & 0x3Fu);
      length = 3;
    } else if (byte >= 0xC0 && i + 1 < text.size()) {
      code = ((byte & 0x1Fu) << 6) | (static_cast<std::uint8_t>(text[i + 1]) & 0x3Fu);
      length = 2;
    }
    out.push_back(static_cast<char16_t>(code));
    i += length;
  }
  return out;
}
