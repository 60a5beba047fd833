// The embedded font, decoded from the resource table and checked against its glyph design (the
// file stores the rows of all glyphs one after another).
#include "imagetext/font/font_data.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace {
using GlyphRows = std::array<std::uint8_t, 16>;

// FNV-1a, 64 bits: any changed, moved or missing byte changes the sum.
std::uint64_t Fnv1a(ResourceBytes data) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const std::uint8_t byte : data) hash = (hash ^ byte) * 0x100000001b3u;
  return hash;
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

// The sum was taken of the glyph design, written out row by row from the drawings of all 96
// glyphs; the rows of three glyphs below show the layout and help to tell what moved.
TEST(FontData, BytesMatchTheGlyphDesign) {
  const ResourceBytes data = FontData();
  ASSERT_EQ(data.size(), 1536u);
  EXPECT_EQ(Fnv1a(data), 0xcec48ff5d0a1dfe3u);
  const std::pair<char, GlyphRows> golden[] = {
      {'Q', {0x00, 0x00, 0x7c, 0xc6, 0xc6, 0xc6, 0xc6, 0xc6, 0xc6, 0x66, 0x3c, 0xe0, 0, 0, 0, 0}},
      {'g',
       {0x00, 0x00, 0x00, 0x00, 0x00, 0x7c, 0x66, 0x66, 0x66, 0x66, 0x7c, 0x60, 0x3c, 0, 0, 0}},
      {'%', {0x00, 0x00, 0x06, 0xc6, 0xe0, 0x70, 0x38, 0x1c, 0x0e, 0xc6, 0xc0, 0x00, 0, 0, 0, 0}}};
  for (const auto& [character, rows] : golden)
    EXPECT_EQ(StoredRows(data, character), rows) << character;
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
