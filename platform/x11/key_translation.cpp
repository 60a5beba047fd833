// The keysym translation table. Letters come out as their unshifted upper-case codes, the cursor
// keys as 37-40, the function keys as 112-123; the remaining low bytes map through single entries
// or stand for themselves (BackSpace 8, Return 13, Escape 27, space and digits).
#include "platform/x11/key_translation.h"

#include <array>
#include <cstdint>

namespace {
struct SingleKey {
  std::uint8_t low_byte;
  std::uint8_t code;
};

constexpr SingleKey kSingleKeys[] = {
    {0x14, 145},  // Scroll_Lock
    {0x27, 222},  // apostrophe
    {0x2C, 188},  // comma
    {0x2D, 189},  // minus
    {0x2E, 190},  // period
    {0x2F, 191},  // slash
    {0x3B, 186},  // semicolon
    {0x3D, 187},  // equal
    {0x50, 36},   // Home
    {0x55, 33},   // Prior
    {0x56, 34},   // Next
    {0x57, 35},   // End
    {0x5B, 219},  // bracketleft
    {0x5C, 226},  // backslash
    {0x5D, 221},  // bracketright
    {0x60, 192},  // grave
    {0x7F, 144},  // Num_Lock
    {0x8D, 13},   // KP_Enter
    {0x95, 103},  // KP_Home
    {0x96, 100},  // KP_Left
    {0x97, 104},  // KP_Up
    {0x98, 102},  // KP_Right
    {0x99, 98},   // KP_Down
    {0x9A, 105},  // KP_Prior
    {0x9B, 99},   // KP_Next
    {0x9C, 97},   // KP_End
    {0x9D, 101},  // KP_Begin
    {0x9E, 96},   // KP_Insert
    {0x9F, 110},  // KP_Delete
    {0xAA, 106},  // KP_Multiply
    {0xAB, 107},  // KP_Add
    {0xAD, 109},  // KP_Subtract
    {0xAF, 111},  // KP_Divide
    {0xE1, 160},  // Shift_L
    {0xE2, 161},  // Shift_R
    {0xE3, 162},  // Control_L
    {0xE4, 163},  // Control_R
    {0xE9, 164},  // Alt_L
    {0xEA, 165},  // Alt_R
    {0xEB, 91},   // Super_L
    {0xEC, 92},   // Super_R
    {0xFF, 46},   // Delete
};

constexpr int CodeOfLowByte(int b) {
  if (b >= 0x61 && b <= 0x7E) return b - 32;  // a-z give the letter keys' codes
  if (b >= 0x51 && b <= 0x54) return b - 44;  // Left, Up, Right, Down
  if (b >= 0xBE && b <= 0xC9) return b - 78;  // F1-F12
  for (const SingleKey& key : kSingleKeys)
    if (key.low_byte == b) return key.code;
  return b;
}

constexpr std::array<std::uint8_t, 256> BuildTable() {
  std::array<std::uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = static_cast<std::uint8_t>(CodeOfLowByte(b));
  return table;
}

constexpr std::array<std::uint8_t, 256> kCodeOfLowByte = BuildTable();
}  // namespace

int TranslateKeysym(unsigned long keysym) {
  switch (keysym) {
    case 0xFF61:  // Print
      return 42;
    case 0xFF63:  // Insert
      return 45;
    case 0xFF67:  // Menu
      return 93;
  }
  // NOTE: only the low byte counts, so a Latin-1 keysym shares its code with the function keysym
  // of the same low byte (eacute 0xE9 gives 164 like Alt_L).
  return kCodeOfLowByte[keysym & 0xFF];
}
