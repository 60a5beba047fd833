// Starts images and text: the renderer gets its default font and its texture frames from here.
#include "imagetext/imagetext_module.h"

#include "imagetext/font_data.h"
#include "imagetext/gl_image_frame.h"
#include "imagetext/image_font.h"
#include "render2d/gl_vex2d_driver.h"
#include "render2d/vex2d.h"

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
