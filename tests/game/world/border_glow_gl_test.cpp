// The kept border glow on real OpenGL (Xvfb with Mesa): the copy must leave exactly the bytes
// that the ten blended layers leave, alone and under a whole background frame.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "game/random/random.h"
#include "game/world/background.h"
#include "game/world/border_glow.h"
#include "game/world/game_state.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/game_fixture.h"
#include "tests/support/graphics_fixtures.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

class KeptGlow : public OpenGLGraphicsTest {
 protected:
  KeptGlow() : OpenGLGraphicsTest(800, 600) {}
  void SetUp() override {
    OpenGLGraphicsTest::SetUp();
    ResetGameState();
  }
  void TearDown() override {
    ResetGameState();
    OpenGLGraphicsTest::TearDown();
  }
};

// The whole back buffer, bottom row first.
Bytes ReadBackBuffer() {
  Bytes rgba(800 * 600 * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return rgba;
}

void ClearTo(int red, int green, int blue) {
  SetClsColor(red, green, blue);
  Cls();
  SetClsColor(0, 0, 0);
}

// The glow as the ten layers themselves draw it, every frame.
void DrawGlowLayers() {
  SetDrawRotation(0);
  SetBlend(BLEND_LIGHT);
  SetColor(155, 140, 0);
  SetAlpha(0.1f);
  for (int i = 1; i <= 10; ++i)
    DrawRect(static_cast<float>(i), static_cast<float>(i), static_cast<float>(800 - 2 * i),
             static_cast<float>(600 - 2 * i));
}

// A background frame drawn with the layers instead of the kept glow.
void DrawBackgroundWithLayers() {
  DrawGlowLayers();
  SetAlpha(1.0f);
  for (const auto& r : Rects()) {
    if (!r) continue;
    r->move();
    r->draw();
  }
}

void StartField(int seed) {
  ResetGameState();
  SetRandomSeed(seed);
  for (int i = 0; i < 150; ++i) SpawnRect();
}

// Where two buffers first differ, for the failure message.
std::size_t FirstDifference(const Bytes& a, const Bytes& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return i;
  return a.size();
}

TEST_F(KeptGlow, TheCopyLeavesTheBytesOfTheTenLayers) {
  ClearTo(0, 0, 0);
  DrawGlowLayers();
  const Bytes layers = ReadBackBuffer();
  // The glow is not flat: the outermost ten pixels darken toward the edge.
  EXPECT_NE(layers[0], layers[(300 * 800 + 400) * 4]);

  for (const char* frame : {"the first frame", "the frame that keeps the glow"}) {
    ClearTo(0, 0, 0);
    DrawBorderGlow();
    EXPECT_EQ(FirstDifference(ReadBackBuffer(), layers), layers.size()) << frame;
  }

  // A copy replaces what is under it; layers would add to the blue.
  ClearTo(0, 0, 200);
  DrawBorderGlow();
  const Bytes copied = ReadBackBuffer();
  EXPECT_EQ(FirstDifference(copied, layers), layers.size()) << "byte offset of the first change";
  EXPECT_EQ(GetBlend(), BLEND_LIGHT);
  EXPECT_EQ(GetDrawRotation(), 0.0f);
}

TEST_F(KeptGlow, WholeBackgroundFramesMatchTheLayeredOnes) {
  // Twenty frames each way from the same generator state, compared frame by frame: the
  // rectangles are drawn over the copy exactly as over the layers.
  constexpr int kFrames = 20;
  std::vector<Bytes> layered;
  StartField(1234);
  for (int frame = 0; frame < kFrames; ++frame) {
    ClearTo(0, 0, 0);
    DrawBackgroundWithLayers();
    layered.push_back(ReadBackBuffer());
  }
  const int generator_after_layers = GetRandomSeed();

  StartField(1234);
  for (int frame = 0; frame < kFrames; ++frame) {
    ClearTo(0, 0, 0);
    DrawBackground();
    const Bytes kept = ReadBackBuffer();
    ASSERT_EQ(FirstDifference(kept, layered[frame]), kept.size()) << "frame " << frame;
  }
  EXPECT_EQ(GetRandomSeed(), generator_after_layers);
}

TEST_F(KeptGlow, ReopenedGraphicsKeepAGlowOfTheirOwn) {
  for (int frame = 0; frame < 3; ++frame) {
    ClearTo(0, 0, 0);
    DrawBorderGlow();
  }
  const Bytes before = ReadBackBuffer();
  CloseDefaultGraphics();
  ASSERT_NE(OpenGraphics(800, 600, 0, 0, 0), nullptr);
  for (int frame = 0; frame < 2; ++frame) {
    ClearTo(0, 0, 0);
    DrawBorderGlow();
    EXPECT_EQ(FirstDifference(ReadBackBuffer(), before), before.size()) << "layers, " << frame;
  }
  // The copy in the new context: the blue underneath is replaced.
  ClearTo(0, 0, 200);
  DrawBorderGlow();
  EXPECT_EQ(FirstDifference(ReadBackBuffer(), before), before.size()) << "copy";
}
}  // namespace
