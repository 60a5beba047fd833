// Image fonts, the default font built from the embedded bitmap font, and the font loader chain.
#include "imagetext/font/image_font.h"

#include "imagetext/font/font_data.h"
#include "platform/core/runtime_error.h"

namespace {
std::shared_ptr<TFontLoader> first_font_loader;

bool InChain(const TFontLoader* loader) {
  for (const TFontLoader* link = first_font_loader.get(); link; link = link->_succ.get())
    if (link == loader) return true;
  return false;
}

// All 96 cells side by side: opaque white ink on transparent black.
PixmapRef DecodeFontStrip(ResourceBytes data) {
  PixmapRef strip =
      TPixmap::Create(kFontGlyphCount * kFontGlyphWidth, kFontGlyphHeight, RGBA8888, 4);
  for (int row = 0; row < kFontGlyphHeight; ++row)
    for (int glyph = 0; glyph < kFontGlyphCount; ++glyph)
      for (int column = 0; column < kFontGlyphWidth; ++column)
        strip->WritePixel(glyph * kFontGlyphWidth + column, row,
                          FontPixelIsSet(data, glyph, column, row) ? -1 : 0);
  return strip;
}
}  // namespace

void AddFontLoader(const std::shared_ptr<TFontLoader>& loader) {
  // NOTE: the last loader of the chain has no successor either, so the successor alone cannot
  // tell whether a loader is chained; adding one twice would close the chain into a ring.
  if (!loader || loader->_succ || InChain(loader.get())) return;
  loader->_succ = std::move(first_font_loader);
  first_font_loader = loader;
}

std::shared_ptr<TFont> LoadFont(const String& source, int size, int style) {
  for (TFontLoader* loader = first_font_loader.get(); loader; loader = loader->_succ.get())
    if (auto font = loader->LoadFont(source, size, style)) return font;
  return nullptr;
}

void TImageGlyph::GetRect(int& x, int& y, int& w, int& h) const {
  x = _x;
  y = _y;
  w = _w;
  h = _h;
}

int TImageFont::Style() const {
  return _src_font ? _src_font->Style() : 0;
}

int TImageFont::Height() const {
  return _src_font ? _src_font->Height() : kFontGlyphHeight;
}

int TImageFont::CountGlyphs() const {
  return static_cast<int>(_glyphs.size());
}

int TImageFont::CharToGlyph(int character) const {
  if (_src_font) return _src_font->CharToGlyph(character);
  if (character < kFontFirstChar || character >= kFontFirstChar + kFontGlyphCount) return -1;
  return character - kFontFirstChar;
}

TImageGlyph* TImageFont::LoadGlyph(int index) {
  // A source font may map a character to an index past its own glyph count.
  if (index < 0 || index >= CountGlyphs()) return nullptr;
  if (_glyphs[index] || !_src_font) return _glyphs[index].get();
  auto glyph = std::make_unique<TImageGlyph>();
  if (std::shared_ptr<TGlyph> source = _src_font->LoadGlyph(index)) {
    glyph->_advance = source->Advance();
    source->GetRect(glyph->_x, glyph->_y, glyph->_w, glyph->_h);
    if (PixmapRef pixels = source->Pixels())
      glyph->_image = TImage::Load(pixels->Copy(), _imageFlags | PACKEDIMAGE, 0, 0, 0);
  }
  _glyphs[index] = std::move(glyph);
  return _glyphs[index].get();
}

void TImageFont::Draw(std::u16string_view text, float x, float y, float ix, float iy, float jx,
                      float jy) {
  for (const char16_t character : text) {
    const TImageGlyph* glyph = LoadGlyph(CharToGlyph(character));
    if (glyph == nullptr) continue;
    if (glyph->_image) {
      TImage& image = *glyph->_image;
      if (TImageFrame* frame = image.Frame(0)) {
        const auto gx = static_cast<float>(glyph->_x);
        const auto gy = static_cast<float>(glyph->_y);
        frame->Draw(0, 0, static_cast<float>(image.width), static_cast<float>(image.height),
                    x + gx * ix + gy * iy, y + gx * jx + gy * jy);
      }
    }
    x = x + glyph->_advance * ix;
    y = y + glyph->_advance * jx;
  }
}

ImageFontRef TImageFont::Load(const String& source, int size, int style) {
  std::shared_ptr<TFont> source_font = LoadFont(source, size, style);
  if (!source_font) return nullptr;
  auto font = std::make_shared<TImageFont>();
  font->_src_font = std::move(source_font);
  font->_glyphs.resize(static_cast<std::size_t>(std::max(font->_src_font->CountGlyphs(), 0)));
  font->_imageFlags = (style & 4) ? FILTEREDIMAGE | MIPMAPPEDIMAGE : 0;
  return font;
}

ImageFontRef TImageFont::CreateDefault() {
  StartFontDataModule();
  const ResourceBytes data = FindEmbeddedResource(kDefaultFontResource);
  if (data.size() != static_cast<std::size_t>(kFontDataSize))
    RaiseRuntimeError("The embedded font \"zelkfont.bin\" is missing or not 1536 bytes long");
  auto font = std::make_shared<TImageFont>();
  font->_glyphs.resize(kFontGlyphCount);
  PixmapRef strip = DecodeFontStrip(data);
  for (int n = 0; n < kFontGlyphCount; ++n) {
    auto glyph = std::make_unique<TImageGlyph>();
    glyph->_advance = static_cast<float>(kFontGlyphWidth);
    glyph->_w = kFontGlyphWidth;
    glyph->_h = kFontGlyphHeight;
    // Each glyph owns a copy of its cell, so the strip can go.
    PixmapRef cell = strip->Window(n * kFontGlyphWidth, 0, kFontGlyphWidth, kFontGlyphHeight);
    // Glyphs share textures: a line of text then draws without changing texture.
    glyph->_image = TImage::Load(cell->Copy(), PACKEDIMAGE, 0, 0, 0);
    font->_glyphs[n] = std::move(glyph);
  }
  return font;
}

ImageFontRef LoadDrawFont(const String& source, int size, int style) {
  return TImageFont::Load(source, size, style);
}
