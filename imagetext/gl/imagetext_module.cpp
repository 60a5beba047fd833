// Starts images and text: the renderer gets its default font and its texture frames from here.
#include "imagetext/gl/imagetext_module.h"

#include "imagetext/font/font_data.h"
#include "imagetext/font/image_font.h"
#include "imagetext/gl/gl_image_frame.h"
#include "render2d/drawing/vex2d.h"
#include "render2d/gl/gl_vex2d_driver.h"

namespace {
bool started = false;
}  // namespace

void StartImageTextModule() {
  if (started) return;
  started = true;
  StartVex2DModule();
  StartFontDataModule();
  SetDefaultFontFactory(&TImageFont::CreateDefault);
  SetTextureFrameFactory(&TGLImageFrame::CreateFromPixmap);
}
