// Registers the font bytes that the build generated from zelkfont.bin.
#include "imagetext/font/font_data.h"

// Defined by the source generated from zelkfont.bin (see imagetext/CMakeLists.txt).
extern const unsigned char zelkfont_bin[];
extern const unsigned long zelkfont_bin_size;

namespace {
bool started = false;
}  // namespace

void StartFontDataModule() {
  if (started) return;
  started = true;
  RegisterEmbeddedResource(kDefaultFontResource, ResourceBytes(zelkfont_bin, zelkfont_bin_size));
}
