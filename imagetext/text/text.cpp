// Text drawing and measuring on the current 2D graphics.
#include "imagetext/text/text.h"

#include "render2d/drawing/vex2d.h"

void DrawString(std::u16string_view text, float x, float y) {
  const std::shared_ptr<TVex2DGraphics> graphics = TVex2DGraphics::Current();
  if (!graphics || !graphics->image_font) return;
  const TVex2DGraphics& g = *graphics;
  // The handle is stored negated: adding it moves the handle point onto (x, y).
  const float start_x = x + g.origin_x + g.handle_x * g.tform_ix + g.handle_y * g.tform_iy;
  const float start_y = y + g.origin_y + g.handle_x * g.tform_jx + g.handle_y * g.tform_jy;
  g.image_font->Draw(text, start_x, start_y, g.tform_ix, g.tform_iy, g.tform_jx, g.tform_jy);
}

int StringWidth(std::u16string_view text) {
  const std::shared_ptr<TImageFont> font = GetImageFont();
  if (!font) return 0;
  int width = 0;
  for (const char16_t character : text) {
    const TImageGlyph* glyph = font->LoadGlyph(font->CharToGlyph(character));
    if (glyph == nullptr) continue;
    width = static_cast<int>(glyph->Advance() + static_cast<float>(width));
  }
  return width;
}

int StringHeight(std::u16string_view /*text*/) {
  const std::shared_ptr<TImageFont> font = GetImageFont();
  return font ? font->Height() : 0;
}

void SetDrawFont(ImageFontRef font) {
  SetImageFont(std::move(font));
}

ImageFontRef GetDrawFont() {
  return GetImageFont();
}
