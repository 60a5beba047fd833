// Image fonts: fonts whose glyphs are one-frame images drawn as textured quads. An image font
// either wraps a source font and turns its glyph bitmaps into images on first use, or is the
// built-in default font, made in one go from the embedded 8 x 16 bitmap font.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "imagetext/image/image.h"
#include "imagetext/pixmap/pixmap.h"
#include "platform/core/text.h"

// Source fonts come from font loaders; the system itself registers none.
class TGlyph {
 public:
  virtual ~TGlyph() = default;
  virtual PixmapRef Pixels() = 0;  // the glyph's bitmap, or null for a glyph without pixels
  virtual float Advance() = 0;
  virtual void GetRect(int& x, int& y, int& w, int& h) = 0;
};

class TFont {
 public:
  virtual ~TFont() = default;
  virtual int Style() = 0;
  virtual int Height() = 0;
  virtual int CountGlyphs() = 0;
  // The glyph index of a character code, negative when the font has none.
  virtual int CharToGlyph(int character) = 0;
  virtual std::shared_ptr<TGlyph> LoadGlyph(int index) = 0;
};

class TFontLoader {
 public:
  virtual ~TFontLoader() = default;
  virtual std::shared_ptr<TFont> LoadFont(const String& source, int size, int style) = 0;
  std::shared_ptr<TFontLoader> _succ;  // the next loader of the chain
};

// Puts the loader at the front of the chain; a loader already in the chain is left where it is.
void AddFontLoader(const std::shared_ptr<TFontLoader>& loader);
// The first font any loader of the chain gives, newest loader first; null when none does.
std::shared_ptr<TFont> LoadFont(const String& source, int size, int style);

class TImageGlyph {
 public:
  ImageRef _image;     // null for a glyph without pixels
  float _advance = 0;  // how far the pen moves on, in unscaled pixels
  int _x = 0;          // offset of the picture's top-left corner from the pen position
  int _y = 0;
  int _w = 0;
  int _h = 0;

  const ImageRef& Pixels() const { return _image; }
  float Advance() const { return _advance; }
  void GetRect(int& x, int& y, int& w, int& h) const;
};

class TImageFont;
using ImageFontRef = std::shared_ptr<TImageFont>;

class TImageFont {
 public:
  std::shared_ptr<TFont> _src_font;                   // null for the default font
  std::vector<std::unique_ptr<TImageGlyph>> _glyphs;  // per index; loaded fonts fill it lazily
  int _imageFlags = 0;  // flags of the glyph images made from the source font

  int Style() const;
  int Height() const;
  int CountGlyphs() const;
  // The default font has glyphs for codes 32 to 127 only.
  int CharToGlyph(int character) const;
  // The glyph at the index, made from the source font on first request. Null for an index outside
  // the glyph array.
  TImageGlyph* LoadGlyph(int index);
  // Draws the text with its first pen position at (x, y); (ix, iy, jx, jy) turns glyph offsets
  // and advances into screen steps, so the pen moves along the matrix's x column.
  void Draw(std::u16string_view text, float x, float y, float ix, float iy, float jx, float jy);

  // A font of the loaders' source font for the source, or null; style bit 4 makes its glyph
  // images filtered and mipmapped.
  static ImageFontRef Load(const String& source, int size, int style);
  // The font of the embedded bitmap font "zelkfont.bin": 96 glyphs of 8 x 16 pixels.
  static ImageFontRef CreateDefault();
};

ImageFontRef LoadDrawFont(const String& source, int size, int style);
