#include "platform/x11/key_translation.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

TEST(KeyTranslation, LettersCursorAndFunctionKeysByRange) {
  for (unsigned long letter = XK_a; letter <= XK_z; ++letter)
    EXPECT_EQ(TranslateKeysym(letter), static_cast<int>(letter - XK_a) + 65) << letter;
  EXPECT_EQ(TranslateKeysym(XK_Left), 37);
  EXPECT_EQ(TranslateKeysym(XK_Up), 38);
  EXPECT_EQ(TranslateKeysym(XK_Right), 39);
  EXPECT_EQ(TranslateKeysym(XK_Down), 40);
  for (int f = 0; f < 12; ++f) EXPECT_EQ(TranslateKeysym(XK_F1 + f), 112 + f);
  // The upper end of the letter range: the low bytes 0x7B-0x7E count as letters too.
  EXPECT_EQ(TranslateKeysym(XK_asciitilde), 0x7E - 32);
}

TEST(KeyTranslation, KeysRecognisedWhole) {
  EXPECT_EQ(TranslateKeysym(XK_Print), 42);
  EXPECT_EQ(TranslateKeysym(XK_Insert), 45);
  EXPECT_EQ(TranslateKeysym(XK_Menu), 93);
  // Their low bytes alone fall into the letter range.
  EXPECT_EQ(TranslateKeysym(0x61), 65);
  EXPECT_EQ(TranslateKeysym(0x67), 71);
}

TEST(KeyTranslation, SingleEntriesOfTheTable) {
  const std::pair<unsigned long, int> table[] = {
      {XK_Scroll_Lock, 145}, {XK_apostrophe, 222},  {XK_comma, 188},        {XK_minus, 189},
      {XK_period, 190},      {XK_slash, 191},       {XK_semicolon, 186},    {XK_equal, 187},
      {XK_Home, 36},         {XK_Prior, 33},        {XK_Next, 34},          {XK_End, 35},
      {XK_bracketleft, 219}, {XK_backslash, 226},   {XK_bracketright, 221}, {XK_grave, 192},
      {XK_Num_Lock, 144},    {XK_KP_Enter, 13},     {XK_KP_Home, 103},      {XK_KP_Left, 100},
      {XK_KP_Up, 104},       {XK_KP_Right, 102},    {XK_KP_Down, 98},       {XK_KP_Prior, 105},
      {XK_KP_Next, 99},      {XK_KP_End, 97},       {XK_KP_Begin, 101},     {XK_KP_Insert, 96},
      {XK_KP_Delete, 110},   {XK_KP_Multiply, 106}, {XK_KP_Add, 107},       {XK_KP_Subtract, 109},
      {XK_KP_Divide, 111},   {XK_Shift_L, 160},     {XK_Shift_R, 161},      {XK_Control_L, 162},
      {XK_Control_R, 163},   {XK_Alt_L, 164},       {XK_Alt_R, 165},        {XK_Super_L, 91},
      {XK_Super_R, 92},      {XK_Delete, 46},
  };
  for (const auto& [keysym, code] : table) EXPECT_EQ(TranslateKeysym(keysym), code) << keysym;
}

TEST(KeyTranslation, OtherKeysymsStandForTheirLowByte) {
  EXPECT_EQ(TranslateKeysym(XK_BackSpace), 8);
  EXPECT_EQ(TranslateKeysym(XK_Tab), 9);
  EXPECT_EQ(TranslateKeysym(XK_Return), 13);
  EXPECT_EQ(TranslateKeysym(XK_Pause), 19);
  EXPECT_EQ(TranslateKeysym(XK_Escape), 27);
  EXPECT_EQ(TranslateKeysym(XK_space), 32);
  for (unsigned long digit = XK_0; digit <= XK_9; ++digit)
    EXPECT_EQ(TranslateKeysym(digit), static_cast<int>(digit)) << digit;
  // Only the low byte counts: eacute shares its code with Alt_L.
  EXPECT_EQ(TranslateKeysym(XK_eacute), 164);
  EXPECT_EQ(TranslateKeysym(0x1000E9), 164);
}

TEST(KeyTranslation, BitsAboveTheLowByteAreIgnored) {
  for (unsigned long low = 0; low < 256; ++low) {
    const int code = TranslateKeysym(low);
    EXPECT_EQ(TranslateKeysym(0xAB00 | low), code) << low;
    EXPECT_EQ(TranslateKeysym(0x1234500 | low), code) << low;
    EXPECT_TRUE(code >= 0 && code <= 255) << low << " -> " << code;
  }
}
