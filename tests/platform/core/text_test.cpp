#include "platform/core/text.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Text, DecimalTextOfIntegers) {
  EXPECT_EQ(IntToString(0), u"0");
  EXPECT_EQ(IntToString(42), u"42");
  EXPECT_EQ(IntToString(-10), u"-10");
  EXPECT_EQ(IntToString(std::numeric_limits<int>::min()), u"-2147483648");
  EXPECT_EQ(IntToString(std::numeric_limits<int>::max()), u"2147483647");
}

TEST(Text, Utf8RoundTripKeepsGermanLetters) {
  const String text = u"Grüße, Zirkulon";
  EXPECT_EQ(ToUtf8(text), "Grüße, Zirkulon");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}
