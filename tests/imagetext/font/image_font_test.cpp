// Image fonts: the default font built from the embedded bitmap font, glyph lookup, and fonts made
// from a source font through the loader chain.
#include "imagetext/font/image_font.h"

#include <gtest/gtest.h>

#include <map>

#include "imagetext/font/font_data.h"

namespace {
const ImageFontRef& DefaultFont() {
  static const ImageFontRef font = TImageFont::CreateDefault();
  return font;
}

class TFakeGlyph;

// A source font of three glyphs for the characters 'x', 'y' and 'z'; 'y' has no bitmap.
class TFakeFont : public TFont {
 public:
  int glyph_loads = 0;
  std::shared_ptr<TFakeGlyph> last_glyph;
  int Style() override { return 7; }
  int Height() override { return 21; }
  int CountGlyphs() override { return 3; }
  int CharToGlyph(int character) override {
    return character >= 'x' && character <= 'z' ? character - 'x' : -1;
  }
  std::shared_ptr<TGlyph> LoadGlyph(int index) override;
};

class TFakeGlyph : public TGlyph {
 public:
  explicit TFakeGlyph(int index) : index_(index) {
    if (index_ != 1) {
      bitmap_ = TPixmap::Create(3, 5, RGBA8888, 4);
      bitmap_->ClearPixels(0);
      bitmap_->WritePixel(index_, 2, -1);
    }
  }
  PixmapRef Pixels() override { return bitmap_; }
  float Advance() override { return 4.5f + static_cast<float>(index_); }
  void GetRect(int& x, int& y, int& w, int& h) override {
    x = 1;
    y = -2 - index_;
    w = 3;
    h = 5;
  }
  PixmapRef bitmap_;

 private:
  int index_;
};

std::shared_ptr<TGlyph> TFakeFont::LoadGlyph(int index) {
  ++glyph_loads;
  last_glyph = std::make_shared<TFakeGlyph>(index);
  return last_glyph;
}

// Accepts only the source it was made for, and counts what it is asked.
class TFakeLoader : public TFontLoader {
 public:
  explicit TFakeLoader(String accepted) : accepted_(std::move(accepted)) {}
  std::shared_ptr<TFont> LoadFont(const String& source, int size, int style) override {
    ++requests;
    last_size = size;
    last_style = style;
    return source == accepted_ ? std::make_shared<TFakeFont>() : nullptr;
  }
  int requests = 0;
  int last_size = 0;
  int last_style = 0;

 private:
  String accepted_;
};
}  // namespace

TEST(DefaultFont, MapsCodes32To127OntoItsGlyphs) {
  const TImageFont& font = *DefaultFont();
  const std::map<int, int> expected = {{31, -1},  {32, 0},   {65, 33}, {127, 95},
                                       {128, -1}, {228, -1}, {0, -1},  {-5, -1}};
  for (const auto& [character, glyph] : expected)
    EXPECT_EQ(font.CharToGlyph(character), glyph) << character;
  EXPECT_EQ(font.Height(), 16);
  EXPECT_EQ(font.CountGlyphs(), 96);
  EXPECT_EQ(font.Style(), 0);
  EXPECT_EQ(font._src_font, nullptr);
}

TEST(DefaultFont, EveryGlyphIsAnEightBySixteenImageAdvancingEight) {
  TImageFont& font = *DefaultFont();
  for (int n = 0; n < 96; ++n) {
    const TImageGlyph* glyph = font.LoadGlyph(n);
    ASSERT_NE(glyph, nullptr) << n;
    EXPECT_EQ(glyph->Advance(), 8.0f) << n;
    int x = -1, y = -1, w = -1, h = -1;
    glyph->GetRect(x, y, w, h);
    EXPECT_EQ((std::array{x, y, w, h}), (std::array{0, 0, 8, 16})) << n;
    const ImageRef& image = glyph->Pixels();
    ASSERT_NE(image, nullptr) << n;
    EXPECT_EQ(image->width, 8);
    EXPECT_EQ(image->height, 16);
    EXPECT_EQ(image->flags, PACKEDIMAGE);
    ASSERT_EQ(image->pixmaps.size(), 1u);
    EXPECT_EQ(font.LoadGlyph(n), glyph) << "a glyph is made once";
  }
  EXPECT_EQ(font.LoadGlyph(96), nullptr);
  EXPECT_EQ(font.LoadGlyph(-1), nullptr);
}

TEST(DefaultFont, GlyphPixelsAreOpaqueWhiteInkOnTransparentBlack) {
  TImageFont& font = *DefaultFont();
  const ResourceBytes data = FindEmbeddedResource("zelkfont.bin");
  ASSERT_EQ(data.size(), 1536u);
  for (int n = 0; n < 96; ++n) {
    const TPixmap& pixels = *font.LoadGlyph(n)->Pixels()->pixmaps[0];
    ASSERT_EQ(pixels.format, RGBA8888);
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 8; ++column) {
        const int expected = FontPixelIsSet(data, n, column, row) ? -1 : 0;
        ASSERT_EQ(pixels.ReadPixel(column, row), expected)
            << "code " << n + 32 << " column " << column << " row " << row;
      }
    }
  }
  // Each glyph owns its own pixels rather than a view of a shared strip.
  EXPECT_EQ(font.LoadGlyph(0)->Pixels()->pixmaps[0]->_source, nullptr);
  EXPECT_NE(font.LoadGlyph(0)->Pixels()->pixmaps[0]->capacity, -1);
}

TEST(DefaultFont, NamedGlyphsLookAsDesigned) {
  TImageFont& font = *DefaultFont();
  const TPixmap& a = *font.LoadGlyph(font.CharToGlyph('A'))->Pixels()->pixmaps[0];
  for (int column = 0; column < 8; ++column) {
    EXPECT_EQ(a.ReadPixel(column, 2), column >= 2 && column <= 6 ? -1 : 0) << column;
    EXPECT_EQ(a.ReadPixel(column, 0), 0) << column;
  }
  const TPixmap& space = *font.LoadGlyph(0)->Pixels()->pixmaps[0];
  const TPixmap& block = *font.LoadGlyph(95)->Pixels()->pixmaps[0];
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 8; ++column) {
      EXPECT_EQ(space.ReadPixel(column, row), 0);
      const bool inked = column >= 3 && column <= 5 && row >= 3 && row <= 11;
      EXPECT_EQ(block.ReadPixel(column, row), inked ? -1 : 0) << column << "," << row;
    }
  }
}

TEST(FontLoaders, NoLoaderAcceptingTheSourceGivesNoFont) {
  EXPECT_EQ(LoadDrawFont(u"nobody knows this font", 12, 0), nullptr);
  EXPECT_EQ(TImageFont::Load(u"", 12, 0), nullptr);
}

TEST(FontLoaders, AreAskedNewestFirstAndAddedOnlyOnce) {
  auto older = std::make_shared<TFakeLoader>(u"shared-name");
  auto newer = std::make_shared<TFakeLoader>(u"shared-name");
  AddFontLoader(older);
  AddFontLoader(newer);
  // Adding either again must neither duplicate it nor close the chain into a ring.
  AddFontLoader(older);
  AddFontLoader(newer);
  ASSERT_NE(LoadFont(u"shared-name", 10, 0), nullptr);
  EXPECT_EQ(newer->requests, 1);
  EXPECT_EQ(older->requests, 0);
  EXPECT_EQ(LoadFont(u"unknown-to-both", 10, 0), nullptr);
  EXPECT_EQ(newer->requests, 2);
  EXPECT_EQ(older->requests, 1);
}

TEST(FontLoaders, LoadedFontWrapsTheSourceFontAndFillsGlyphsOnFirstUse) {
  auto loader = std::make_shared<TFakeLoader>(u"fake-font");
  AddFontLoader(loader);
  const ImageFontRef plain = LoadDrawFont(u"fake-font", 14, 3);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(loader->last_size, 14);
  EXPECT_EQ(loader->last_style, 3);
  EXPECT_EQ(plain->_imageFlags, 0);
  EXPECT_EQ(TImageFont::Load(u"fake-font", 14, 4)->_imageFlags, 6);
  EXPECT_EQ(plain->Style(), 7);
  EXPECT_EQ(plain->Height(), 21);
  EXPECT_EQ(plain->CountGlyphs(), 3);
  EXPECT_EQ(plain->CharToGlyph('z'), 2);
  EXPECT_EQ(plain->CharToGlyph('A'), -1);
  for (const auto& glyph : plain->_glyphs) EXPECT_EQ(glyph, nullptr);

  auto& source = static_cast<TFakeFont&>(*plain->_src_font);
  const TImageGlyph* z = plain->LoadGlyph(2);
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(plain->LoadGlyph(2), z);
  EXPECT_EQ(source.glyph_loads, 1) << "the source glyph is loaded only once";
  EXPECT_EQ(z->Advance(), 6.5f);
  int x = 0, y = 0, w = 0, h = 0;
  z->GetRect(x, y, w, h);
  EXPECT_EQ((std::array{x, y, w, h}), (std::array{1, -4, 3, 5}));
  ASSERT_NE(z->Pixels(), nullptr);
  EXPECT_EQ(z->Pixels()->flags, PACKEDIMAGE);
  const TPixmap& copied = *z->Pixels()->pixmaps[0];
  EXPECT_EQ(copied.ReadPixel(2, 2), -1);
  EXPECT_EQ(copied.ReadPixel(1, 2), 0);

  const TImageGlyph* y_glyph = plain->LoadGlyph(1);
  ASSERT_NE(y_glyph, nullptr);
  EXPECT_EQ(y_glyph->Pixels(), nullptr) << "a glyph without a bitmap has no image";
  EXPECT_EQ(y_glyph->Advance(), 5.5f);
  EXPECT_EQ(plain->LoadGlyph(3), nullptr) << "indices past the glyph array are refused";
}

TEST(FontLoaders, GlyphImagesCopyTheSourceBitmap) {
  auto loader = std::make_shared<TFakeLoader>(u"fake-font-copy");
  AddFontLoader(loader);
  const ImageFontRef font = LoadDrawFont(u"fake-font-copy", 8, 4);
  ASSERT_NE(font, nullptr);
  const TImageGlyph* x = font->LoadGlyph(0);
  ASSERT_NE(x, nullptr);
  ASSERT_NE(x->Pixels(), nullptr);
  EXPECT_EQ(x->Pixels()->flags, 6 | PACKEDIMAGE) << "filtered, mipmapped: not packed after all";
  // The image keeps a copy: changing the source's bitmap later leaves the glyph as it was.
  const PixmapRef& source_bitmap = static_cast<TFakeFont&>(*font->_src_font).last_glyph->bitmap_;
  const TPixmap& stored = *x->Pixels()->pixmaps[0];
  EXPECT_NE(&stored, source_bitmap.get());
  source_bitmap->WritePixel(0, 2, 0);
  EXPECT_EQ(stored.width, 3);
  EXPECT_EQ(stored.height, 5);
  EXPECT_EQ(stored.ReadPixel(0, 2), -1);
}
