// Measuring and drawing random 16-bit strings with the default font on a recording 2D driver (no
// window needed), under random scale, rotation and handle.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "imagetext/text/imagetext_module.h"
#include "imagetext/text/text.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/recording_vex2d_driver.h"

namespace {
void Check(bool condition) {
  if (!condition) std::abort();
}

// The default font has glyphs for the printable ASCII characters 32-127, each 8 pixels wide.
int ExpectedWidth(const std::u16string& text) {
  int width = 0;
  for (const char16_t c : text) width += c >= 32 && c <= 127 ? 8 : 0;
  return width;
}

TRecordingVex2DDriver& Driver() {
  static TRecordingVex2DDriver driver;
  static const bool opened = [] {
    StartImageTextModule();
    SelectGraphicsDriver(&driver, 0);
    return OpenGraphics(800, 600, 0, 0, 0) != nullptr;
  }();
  Check(opened);
  return driver;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  TRecordingVex2DDriver& driver = Driver();
  FuzzedDataProvider data(bytes, size);
  SetDrawScale(data.ConsumeFloatingPoint<float>(), data.ConsumeFloatingPoint<float>());
  SetDrawRotation(data.ConsumeFloatingPoint<float>());
  SetDrawHandle(data.ConsumeFloatingPoint<float>(), data.ConsumeFloatingPoint<float>());
  std::u16string first, second;
  for (std::u16string* text : {&first, &second}) {
    const std::size_t length = data.ConsumeIntegralInRange<std::size_t>(0, 64);
    for (std::size_t i = 0; i < length && data.remaining_bytes() >= 2; ++i)
      text->push_back(static_cast<char16_t>(data.ConsumeIntegral<std::uint16_t>()));
  }
  Check(StringWidth(first) == ExpectedWidth(first));
  Check(StringWidth(first + second) == StringWidth(first) + StringWidth(second));
  Check(StringHeight(second) == 16);
  driver.Clear();
  DrawString(first, data.ConsumeFloatingPoint<float>(), data.ConsumeFloatingPoint<float>());
  return 0;
}
