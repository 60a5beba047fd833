// Starts images and text: the renderer gets its default font from here.
#include "imagetext/text/imagetext_module.h"

#include "imagetext/font/font_data.h"
#include "imagetext/font/image_font.h"
#include "render2d/drawing/vex2d.h"

namespace {
bool started = false;
}  // namespace

void StartImageTextModule() {
  if (started) return;
  started = true;
  StartVex2DModule();
  StartFontDataModule();
  // The font's glyphs are images: pixmaps now, textures only when a 2D driver first draws them.
  UseDefaultImageFont(TImageFont::CreateDefault());
}
