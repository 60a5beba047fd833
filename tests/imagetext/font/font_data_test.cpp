// The embedded font, decoded from the resource table and checked against the glyph design below,
// written out glyph by glyph (the file itself stores the rows of all glyphs one after another).
#include "imagetext/font/font_data.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {
// Character code 32 + index, then its 16 pixel rows from top to bottom; bit k is column k.
constexpr const char* kGlyphDesign[96] = {
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",  // 32 space
    "00 00 18 18 18 18 18 18 00 18 18 00 00 00 00 00",  // 33 !
    "00 00 6c 6c 48 24 00 00 00 00 00 00 00 00 00 00",  // 34 "
    "00 00 6c 6c fe 6c 6c 6c fe 6c 6c 00 00 00 00 00",  // 35 #
    "00 00 10 7c d6 16 7c d0 d6 7c 10 00 00 00 00 00",  // 36 $
    "00 00 06 c6 e0 70 38 1c 0e c6 c0 00 00 00 00 00",  // 37 %
    "00 00 1c 36 36 1c 0c de 76 76 dc 00 00 00 00 00",  // 38 &
    "00 00 18 18 10 08 00 00 00 00 00 00 00 00 00 00",  // 39 '
    "00 30 18 0c 0c 0c 0c 0c 0c 0c 0c 18 30 00 00 00",  // 40 (
    "00 0c 18 30 30 30 30 30 30 30 30 18 0c 00 00 00",  // 41 )
    "00 00 18 5a 3c 18 7e 18 3c 5a 18 00 00 00 00 00",  // 42 *
    "00 00 00 00 10 10 10 fe 10 10 10 00 00 00 00 00",  // 43 +
    "00 00 00 00 00 00 00 00 00 18 18 10 08 00 00 00",  // 44 ,
    "00 00 00 00 00 00 00 7e 00 00 00 00 00 00 00 00",  // 45 -
    "00 00 00 00 00 00 00 00 00 18 18 00 00 00 00 00",  // 46 .
    "00 00 00 80 c0 60 30 18 0c 06 02 00 00 00 00 00",  // 47 /
    "00 00 7c c6 c6 e6 d6 ce c6 c6 7c 00 00 00 00 00",  // 48 0
    "00 00 18 1c 1c 18 18 18 18 18 7e 00 00 00 00 00",  // 49 1
    "00 00 7c c6 c0 c0 7c 06 06 06 fe 00 00 00 00 00",  // 50 2
    "00 00 7c c6 c0 c0 70 c0 c0 c6 7c 00 00 00 00 00",  // 51 3
    "00 00 20 30 38 34 32 32 7e 30 30 00 00 00 00 00",  // 52 4
    "00 00 fe 06 06 06 7e c0 c0 c6 7c 00 00 00 00 00",  // 53 5
    "00 00 7c c6 06 06 7e c6 c6 c6 7c 00 00 00 00 00",  // 54 6
    "00 00 fe c0 c0 60 30 18 0c 06 06 00 00 00 00 00",  // 55 7
    "00 00 7c c6 c6 c6 7c c6 c6 c6 7c 00 00 00 00 00",  // 56 8
    "00 00 7c c6 c6 c6 fc c0 c0 c6 7c 00 00 00 00 00",  // 57 9
    "00 00 00 00 00 18 18 00 00 18 18 00 00 00 00 00",  // 58 :
    "00 00 00 00 00 18 18 00 00 18 18 18 10 00 00 00",  // 59 ;
    "00 00 00 00 60 30 18 0c 18 30 60 00 00 00 00 00",  // 60 <
    "00 00 00 00 00 00 7c 00 7c 00 00 00 00 00 00 00",  // 61 =
    "00 00 00 00 0c 18 30 60 30 18 0c 00 00 00 00 00",  // 62 >
    "00 00 7c c6 c6 c0 60 30 18 00 18 00 00 00 00 00",  // 63 ?
    "00 00 7c c6 d6 d6 d6 d6 76 06 7c 00 00 00 00 00",  // 64 @
    "00 00 7c c6 c6 c6 fe c6 c6 c6 c6 00 00 00 00 00",  // 65 A
    "00 00 7e c6 c6 c6 7e c6 c6 c6 7e 00 00 00 00 00",  // 66 B
    "00 00 7c c6 06 06 06 06 06 c6 7c 00 00 00 00 00",  // 67 C
    "00 00 7e c6 c6 c6 c6 c6 c6 c6 7e 00 00 00 00 00",  // 68 D
    "00 00 fe 06 06 06 3e 06 06 06 fe 00 00 00 00 00",  // 69 E
    "00 00 fe 06 06 06 3e 06 06 06 06 00 00 00 00 00",  // 70 F
    "00 00 7c c6 06 06 06 e6 c6 c6 7c 00 00 00 00 00",  // 71 G
    "00 00 c6 c6 c6 c6 fe c6 c6 c6 c6 00 00 00 00 00",  // 72 H
    "00 00 7e 18 18 18 18 18 18 18 7e 00 00 00 00 00",  // 73 I
    "00 00 fc 30 30 30 30 30 36 36 1c 00 00 00 00 00",  // 74 J
    "00 00 c6 66 36 1e 0e 1e 36 66 c6 00 00 00 00 00",  // 75 K
    "00 00 06 06 06 06 06 06 06 06 fe 00 00 00 00 00",  // 76 L
    "00 00 c6 c6 ee fe fe d6 c6 c6 c6 00 00 00 00 00",  // 77 M
    "00 00 c6 c6 ce de fe f6 e6 c6 c6 00 00 00 00 00",  // 78 N
    "00 00 7c c6 c6 c6 c6 c6 c6 c6 7c 00 00 00 00 00",  // 79 O
    "00 00 7e c6 c6 c6 7e 06 06 06 06 00 00 00 00 00",  // 80 P
    "00 00 7c c6 c6 c6 c6 c6 c6 66 3c e0 00 00 00 00",  // 81 Q
    "00 00 7e c6 c6 c6 7e 1e 36 66 c6 00 00 00 00 00",  // 82 R
    "00 00 7c c6 06 06 7c c0 c0 c6 7c 00 00 00 00 00",  // 83 S
    "00 00 7e 18 18 18 18 18 18 18 18 00 00 00 00 00",  // 84 T
    "00 00 c6 c6 c6 c6 c6 c6 c6 c6 7c 00 00 00 00 00",  // 85 U
    "00 00 c6 c6 c6 c6 c6 c6 6c 38 10 00 00 00 00 00",  // 86 V
    "00 00 c6 c6 c6 c6 d6 fe fe ee c6 00 00 00 00 00",  // 87 W
    "00 00 82 c6 6c 38 10 38 6c c6 82 00 00 00 00 00",  // 88 X
    "00 00 c6 c6 c6 c6 fc c0 c0 c6 7c 00 00 00 00 00",  // 89 Y
    "00 00 fe c0 60 20 10 08 0c 06 fe 00 00 00 00 00",  // 90 Z
    "00 3c 0c 0c 0c 0c 0c 0c 0c 0c 0c 0c 3c 00 00 00",  // 91 [
    "00 00 00 02 06 0c 18 30 60 c0 80 00 00 00 00 00",  // 92 backslash
    "00 3c 30 30 30 30 30 30 30 30 30 30 3c 00 00 00",  // 93 ]
    "00 10 38 6c c6 00 00 00 00 00 00 00 00 00 00 00",  // 94 ^
    "00 00 00 00 00 00 00 00 00 00 fe 00 00 00 00 00",  // 95 _
    "00 00 18 18 08 10 00 00 00 00 00 00 00 00 00 00",  // 96 `
    "00 00 00 00 00 7c c0 fc c6 c6 fc 00 00 00 00 00",  // 97 a
    "00 00 06 06 06 7e c6 c6 c6 c6 7e 00 00 00 00 00",  // 98 b
    "00 00 00 00 00 7c c6 06 06 c6 7c 00 00 00 00 00",  // 99 c
    "00 00 c0 c0 c0 fc c6 c6 c6 c6 fc 00 00 00 00 00",  // 100 d
    "00 00 00 00 00 7c c6 fe 06 c6 7c 00 00 00 00 00",  // 101 e
    "00 00 70 18 18 18 78 18 18 18 18 00 00 00 00 00",  // 102 f
    "00 00 00 00 00 7c 66 66 66 66 7c 60 3c 00 00 00",  // 103 g
    "00 00 06 06 06 7e c6 c6 c6 c6 c6 00 00 00 00 00",  // 104 h
    "00 00 00 18 00 18 18 18 18 18 30 00 00 00 00 00",  // 105 i
    "00 00 00 30 00 30 30 30 30 30 30 30 1c 00 00 00",  // 106 j
    "00 00 06 06 06 66 36 1e 1e 36 66 00 00 00 00 00",  // 107 k
    "00 00 18 18 18 18 18 18 18 18 30 00 00 00 00 00",  // 108 l
    "00 00 00 00 00 6c fe d6 c6 c6 c6 00 00 00 00 00",  // 109 m
    "00 00 00 00 00 7e c6 c6 c6 c6 c6 00 00 00 00 00",  // 110 n
    "00 00 00 00 00 7c c6 c6 c6 c6 7c 00 00 00 00 00",  // 111 o
    "00 00 00 00 00 7e c6 c6 c6 c6 7e 06 06 00 00 00",  // 112 p
    "00 00 00 00 00 fc c6 c6 c6 c6 fc c0 c0 00 00 00",  // 113 q
    "00 00 00 00 00 7e c6 06 06 06 06 00 00 00 00 00",  // 114 r
    "00 00 00 00 00 7c c6 1c 70 c6 7c 00 00 00 00 00",  // 115 s
    "00 00 00 18 18 3c 18 18 18 18 30 00 00 00 00 00",  // 116 t
    "00 00 00 00 00 c6 c6 c6 c6 c6 7c 00 00 00 00 00",  // 117 u
    "00 00 00 00 00 c6 c6 c6 6c 38 10 00 00 00 00 00",  // 118 v
    "00 00 00 00 00 c6 c6 d6 fe fe 6c 00 00 00 00 00",  // 119 w
    "00 00 00 00 00 c6 6c 38 38 6c c6 00 00 00 00 00",  // 120 x
    "00 00 00 00 00 c6 c6 c6 c6 c6 fc c0 7c 00 00 00",  // 121 y
    "00 00 00 00 00 fe 60 30 18 0c fe 00 00 00 00 00",  // 122 z
    "00 00 70 18 18 18 1c 0e 1c 18 18 18 70 00 00 00",  // 123 {
    "00 18 18 18 18 18 18 18 18 18 18 18 18 00 00 00",  // 124 |
    "00 00 0c 18 18 18 38 70 38 18 18 18 0c 00 00 00",  // 125 }
    "00 00 00 00 00 8c 9e f2 62 00 00 00 00 00 00 00",  // 126 ~
    "00 00 00 38 38 38 38 38 38 38 38 38 00 00 00 00",  // 127 block
};

using GlyphRows = std::array<std::uint8_t, 16>;

GlyphRows DesignedRows(int code) {
  GlyphRows rows{};
  const char* text = kGlyphDesign[code - 32];
  for (auto& row : rows) {
    char* end = nullptr;
    row = static_cast<std::uint8_t>(std::strtoul(text, &end, 16));
    text = end;
  }
  return rows;
}

// Decodes the resource the way the file is laid out: row r of glyph c at offset r * 96 + c - 32.
GlyphRows StoredRows(ResourceBytes data, int code) {
  GlyphRows rows{};
  for (int r = 0; r < 16; ++r) rows[r] = data[r * 96 + code - 32];
  return rows;
}

ResourceBytes FontData() {
  StartFontDataModule();
  return FindEmbeddedResource("zelkfont.bin");
}

// Rows of a glyph that hold ink, as "first-last".
std::string InkedRows(const GlyphRows& rows) {
  int first = -1, last = -1;
  for (int r = 0; r < 16; ++r) {
    if (rows[r] == 0) continue;
    if (first < 0) first = r;
    last = r;
  }
  return std::to_string(first) + "-" + std::to_string(last);
}
}  // namespace

TEST(FontData, IsRegisteredUnderItsNameWith1536Bytes) {
  const ResourceBytes data = FontData();
  EXPECT_EQ(data.size(), 1536u);
  EXPECT_TRUE(FindEmbeddedResource("zelkfont.bin ").empty());
  EXPECT_TRUE(FindEmbeddedResource("").empty());
  // Starting twice registers nothing new.
  StartFontDataModule();
  EXPECT_EQ(FindEmbeddedResource("zelkfont.bin").data(), data.data());
}

TEST(FontData, EveryGlyphRowMatchesTheDesign) {
  const ResourceBytes data = FontData();
  ASSERT_EQ(data.size(), 1536u);
  for (int code = 32; code < 128; ++code) {
    const GlyphRows expected = DesignedRows(code);
    const GlyphRows stored = StoredRows(data, code);
    for (int r = 0; r < 16; ++r)
      EXPECT_EQ(stored[r], expected[r]) << "code " << code << " row " << r;
  }
}

TEST(FontData, PixelDecodingPutsTheLowestBitAtTheLeftEdge) {
  const ResourceBytes data = FontData();
  ASSERT_EQ(data.size(), 1536u);
  const int a = 'A' - 32;
  for (int column = 0; column < 8; ++column) {
    // A's row 2 is 0x7c: columns 2 to 6 inked.
    EXPECT_EQ(FontPixelIsSet(data, a, column, 2), column >= 2 && column <= 6) << column;
    EXPECT_FALSE(FontPixelIsSet(data, a, column, 0)) << column;
  }
  // Row 4 of '2' (0xc0) is inked on the right, row 7 (0x06) on the left.
  const int two = '2' - 32;
  EXPECT_TRUE(FontPixelIsSet(data, two, 7, 4));
  EXPECT_FALSE(FontPixelIsSet(data, two, 1, 4));
  EXPECT_TRUE(FontPixelIsSet(data, two, 1, 7));
  EXPECT_FALSE(FontPixelIsSet(data, two, 7, 7));
}

TEST(FontData, NamedGlyphsHaveTheirShapes) {
  const ResourceBytes data = FontData();
  ASSERT_EQ(data.size(), 1536u);
  EXPECT_EQ(data[2 * 96 + 'A' - 32], 0x7c);
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 8; ++column) {
      EXPECT_FALSE(FontPixelIsSet(data, 0, column, row)) << "space " << column << "," << row;
      const bool in_block = column >= 3 && column <= 5 && row >= 3 && row <= 11;
      EXPECT_EQ(FontPixelIsSet(data, 95, column, row), in_block) << "127 " << column << "," << row;
    }
  }
}

TEST(FontData, SpacingRowsAndLeftColumnAreEmptyInEveryGlyph) {
  const ResourceBytes data = FontData();
  ASSERT_EQ(data.size(), 1536u);
  for (int glyph = 0; glyph < 96; ++glyph) {
    for (int row : {0, 13, 14, 15}) EXPECT_EQ(data[row * 96 + glyph], 0) << glyph + 32;
    for (int row = 0; row < 16; ++row)
      EXPECT_FALSE(FontPixelIsSet(data, glyph, 0, row)) << glyph + 32 << " row " << row;
  }
}

TEST(FontData, LettersAndDigitsSitOnTheirLines) {
  const ResourceBytes data = FontData();
  ASSERT_EQ(data.size(), 1536u);
  const auto is_one_of = [](char c, std::string_view set) {
    return set.find(c) != std::string_view::npos;
  };
  for (int code = 32; code < 128; ++code) {
    const char c = static_cast<char>(code);
    const GlyphRows rows = StoredRows(data, code);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      EXPECT_EQ(InkedRows(rows), c == 'Q' ? "2-11" : "2-10") << c;
    }
    if (is_one_of(c, "acemnorsuvwxz")) {
      EXPECT_EQ(InkedRows(rows), "5-10") << c;
    }
    if (is_one_of(c, "gjpqy,;()[]{}|")) {
      EXPECT_NE(rows[12], 0) << c << " reaches row 12";
    }
    EXPECT_EQ(rows[1] != 0, is_one_of(c, "()[]|^")) << c << " row 1";
  }
}
