// The edge glow, drawn once and then copied: the ten layers are ~4.7 million blended pixels, the
// copy 480 thousand unblended ones.
#include "game/world/border_glow.h"

#include <memory>

#include "game/world/screen_geometry.h"
#include "imagetext/image/image.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"

namespace {
constexpr int kGlowLayers = 10;
constexpr int kGlowRed = 155;
constexpr int kGlowGreen = 140;
constexpr int kGlowBlue = 0;

struct KeptGlow {
  ImageRef image;
  int serial = 0;
  // The context it was drawn in: a new one may differ in its visual, so it draws its own.
  std::weak_ptr<TVex2DGraphics> graphics;
};
KeptGlow kept;

void SetGlowState() {
  SetBlend(BLEND_LIGHT);
  SetColor(kGlowRed, kGlowGreen, kGlowBlue);
}

void DrawLayers() {
  SetGlowState();
  SetAlpha(0.1f);
  for (int i = 1; i <= kGlowLayers; ++i) {
    DrawRect(static_cast<float>(i), static_cast<float>(i), static_cast<float>(kScreenWidth - 2 * i),
             static_cast<float>(kScreenHeight - 2 * i));
  }
}

bool SameGraphics(const std::shared_ptr<TVex2DGraphics>& current) {
  return kept.serial == GraphicsSerial() && kept.graphics.lock() == current;
}
}  // namespace

void DrawBorderGlow() {
  SetDrawRotation(0);
  const std::shared_ptr<TVex2DGraphics> current = TVex2DGraphics::Current();
  const bool same = SameGraphics(current);
  if (same && kept.image) {
    // NOTE: white at alpha 1 makes the texture's modulation an exact copy of every texel.
    SetBlend(BLEND_SOLID);
    SetColor(255, 255, 255);
    SetAlpha(1.0f);
    DrawImageAt(*kept.image, 0, 0, 0);
    SetGlowState();
    return;
  }
  DrawLayers();
  if (!same) {
    // Reading the layers back and making the texture takes tens of milliseconds; the first frame
    // of a context goes out without them, the second keeps the glow.
    kept = KeptGlow{nullptr, GraphicsSerial(), current};
    return;
  }
  // The buffer holds only the clear colour and the layers, so what it shows is the glow itself.
  kept.image = TImage::Create(kScreenWidth, kScreenHeight, 1, 0, 0, 0, 0);
  GrabImageFrame(*kept.image, 0, 0, 0);
  // Made now, so that the first copy does not pay for the texture.
  kept.image->Frame(0);
}

void ForgetBorderGlow() {
  kept = KeptGlow{};
}
