// The edge glow, drawn once and then kept: the ten layers are ~4.7 million blended pixels. What
// they leave is one flat colour inside a graded edge ten pixels wide, so later frames clear to that
// colour, which costs a tile rasteriser next to nothing, and copy only the edge's four strips.
#include "game/world/border_glow.h"

#include <algorithm>
#include <memory>
#include <vector>

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
constexpr int kOpaque = 255;

struct GlowStrip {
  ImageRef image;
  int x = 0;
  int y = 0;
};

struct KeptGlow {
  bool kept = false;
  int inside_argb = 0;
  std::vector<GlowStrip> strips;
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

// How far in from the edges the glow differs from its centre; beyond that it is one colour. A
// centre that is not opaque cannot be cleared to, so then the edge is the whole picture.
int GradedEdgeWidth(const TPixmap& glow, int centre) {
  const int width = glow.width;
  const int height = glow.height;
  if ((static_cast<unsigned>(centre) >> 24) != kOpaque) return (std::min(width, height) + 1) / 2;
  int edge = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (glow.ReadPixel(x, y) != centre)
        edge = std::max(edge, std::min({x, y, width - 1 - x, height - 1 - y}) + 1);
    }
  }
  return edge;
}

void KeepStrip(TPixmap& glow, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  ImageRef image = TImage::Load(glow.Window(x, y, width, height)->Copy(), 0, 0, 0, 0);
  // Made now, so that the first copy does not pay for the texture.
  image->Frame(0);
  kept.strips.push_back({std::move(image), x, y});
}

// The buffer holds only the clear colour and the layers, so what it shows is the glow itself.
void KeepGlow() {
  const PixmapRef glow = GrabPixmap(0, 0, kScreenWidth, kScreenHeight);
  if (!glow) return;
  kept.inside_argb = glow->ReadPixel(kScreenWidth / 2, kScreenHeight / 2);
  const int edge = GradedEdgeWidth(*glow, kept.inside_argb);
  const int inner_height = kScreenHeight - 2 * edge;
  KeepStrip(*glow, 0, 0, kScreenWidth, edge);
  KeepStrip(*glow, 0, kScreenHeight - edge, kScreenWidth, edge);
  KeepStrip(*glow, 0, edge, edge, inner_height);
  KeepStrip(*glow, kScreenWidth - edge, edge, edge, inner_height);
  kept.kept = true;
}

void DrawKeptGlow() {
  int red = 0, green = 0, blue = 0;
  GetClsColor(red, green, blue);
  const unsigned inside = static_cast<unsigned>(kept.inside_argb);
  SetClsColor(static_cast<int>((inside >> 16) & 255), static_cast<int>((inside >> 8) & 255),
              static_cast<int>(inside & 255));
  Cls();
  SetClsColor(red, green, blue);
  // NOTE: white at alpha 1 makes the texture's modulation an exact copy of every texel.
  SetBlend(BLEND_SOLID);
  SetColor(255, 255, 255);
  SetAlpha(1.0f);
  for (const GlowStrip& strip : kept.strips)
    DrawImageAt(*strip.image, static_cast<float>(strip.x), static_cast<float>(strip.y), 0);
}
}  // namespace

void DrawBorderGlow() {
  SetDrawRotation(0);
  const std::shared_ptr<TVex2DGraphics> current = TVex2DGraphics::Current();
  const bool same = SameGraphics(current);
  if (same && kept.kept) {
    DrawKeptGlow();
    SetGlowState();
    return;
  }
  DrawLayers();
  if (!same) {
    // Reading the layers back and making the textures takes tens of milliseconds; the first frame
    // of a context goes out without them, the second keeps the glow.
    kept = KeptGlow{};
    kept.serial = GraphicsSerial();
    kept.graphics = current;
    return;
  }
  KeepGlow();
}
