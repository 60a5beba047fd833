// Pixel conversion and resampling throughput, and the cost of the game's heaviest background frame
// (border glow, 150 turned rectangles in quarters, the panel box and its outline) drawn through
// the OpenGL 2D back end.
#include <benchmark/benchmark.h>

#include <vector>

#include "game/random/random.h"
#include "imagetext/pixmap/pixel_formats.h"
#include "imagetext/pixmap/pixmap.h"
#include "render2d/drawing/primitives.h"
#include "render2d/gl/gl_vex2d_driver.h"

namespace {
const char* FormatName(int format) {
  static const char* const names[] = {"none",   "I8",       "A8",      "BGR888",
                                      "RGB888", "BGRA8888", "RGBA8888"};
  return names[format];
}

void BM_ConvertPixels(benchmark::State& state) {
  const int from = static_cast<int>(state.range(0));
  const int to = static_cast<int>(state.range(1));
  constexpr int kCount = 4096;  // a wide row
  std::vector<std::uint8_t> source(kCount * 4), destination(kCount * 4);
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 31);
  for (auto _ : state) {
    ConvertPixels(source.data(), from, destination.data(), to, kCount);
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  state.SetLabel(std::string(FormatName(from)) + "->" + FormatName(to));
}
BENCHMARK(BM_ConvertPixels)->ArgsProduct({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}});

void BM_ResizePixmap512To256(benchmark::State& state) {
  PixmapRef source = TPixmap::Create(512, 512, static_cast<int>(state.range(0)));
  for (int i = 0; i < source->capacity; ++i) source->pixels[i] = static_cast<std::uint8_t>(i * 7);
  for (auto _ : state) benchmark::DoNotOptimize(ResizePixmap(*source, 256, 256));
  state.SetItemsProcessed(state.iterations() * 256 * 256);
  state.SetLabel(FormatName(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ResizePixmap512To256)->Arg(RGBA8888)->Arg(RGB888);

struct BackgroundRect {
  float x, y, rot;
  int w, h, r, g, b;
};

// The game's background as it stands in its heaviest frame: every rectangle fully in quarters.
class BackgroundScene {
 public:
  BackgroundScene() {
    SetRandomSeed(4660);
    for (int i = 0; i < 150; ++i) {
      rects_.push_back(
          {static_cast<float>(RandomInt(0, 800)), static_cast<float>(RandomInt(0, 600)),
           static_cast<float>(RandomReal(0, 360)), RandomInt(50, 200), RandomInt(50, 200),
           RandomInt(0, 100), RandomInt(0, 100), RandomInt(0, 100)});
    }
  }

  // Filled pixels per frame, counting every layer (a turned rectangle keeps its area).
  double FilledPixels() const {
    double pixels = 0;
    for (int i = 1; i <= 10; ++i) pixels += (800.0 - 2 * i) * (600.0 - 2 * i);
    for (const BackgroundRect& r : rects_) pixels += (r.w / 2) * (r.h / 2) * 4.0;
    return pixels + 398.0 * 499.0;
  }

  void Draw() {
    Cls();
    SetDrawRotation(0);
    SetBlend(BLEND_LIGHT);
    SetColor(155, 140, 0);
    SetAlpha(0.1f);
    for (int i = 1; i <= 10; ++i) DrawRect(i, i, 800 - 2 * i, 600 - 2 * i);
    SetAlpha(1);
    for (BackgroundRect& r : rects_) {
      const float remembered = static_cast<float>(static_cast<int>(GetDrawRotation()));
      SetColor(r.r, r.g, r.b);
      SetDrawRotation(r.rot += 1.5f);
      const float x = static_cast<float>(static_cast<int>(r.x));
      const float y = static_cast<float>(static_cast<int>(r.y));
      DrawRect(x, y, r.w / 2, r.h / 2);
      DrawRect(x, y, -(r.w / 2), r.h / 2);
      DrawRect(x, y, r.w / 2, -(r.h / 2));
      DrawRect(x, y, -(r.w / 2), -(r.h / 2));
      SetDrawRotation(remembered);
    }
    // The open panel box and its outline.
    SetBlend(BLEND_ALPHA);
    SetAlpha(0.9f);
    SetColor(0, 0, 0);
    DrawRect(201, 51, 398, 499);
    SetColor(255, 255, 255);
    SetPolygonOutlineMode(true);
    DrawLine(200, 50, 600, 50, 1);
    DrawLine(200, 50, 200, 551, 1);
    DrawLine(600, 50, 600, 551, 1);
    DrawLine(200, 551, 600, 551, 1);
    SetPolygonOutlineMode(false);
  }

 private:
  std::vector<BackgroundRect> rects_;
};

std::shared_ptr<TGraphics> OpenScreen(benchmark::State& state) {
  StartGLVex2DModule();
  SelectGraphicsDriver(GetGLVex2DDriver(), 2);
  std::shared_ptr<TGraphics> graphics = NewGraphics(800, 600, 0, 60, 0);
  if (!graphics) {
    state.SkipWithError("no OpenGL window: run under scripts/with-xvfb.sh");
    return nullptr;
  }
  SelectGraphics(graphics);
  return graphics;
}

// CPU time of the thread that issues the calls: the renderer's own cost per frame. The software
// rasteriser's threads are not counted; a finish every 60 frames keeps its queue bounded.
void BM_BackgroundFrameCalls(benchmark::State& state) {
  std::shared_ptr<TGraphics> graphics = OpenScreen(state);
  if (!graphics) return;
  BackgroundScene scene;
  int frames = 0;
  for (auto _ : state) {
    scene.Draw();
    if (++frames % 60 == 0) GrabPixmap(0, 0, 1, 1);
  }
  GrabPixmap(0, 0, 1, 1);
  CloseGraphicsContext(graphics);
}
BENCHMARK(BM_BackgroundFrameCalls)->Unit(benchmark::kMicrosecond);

// Wall time per frame until its pixels are readable: includes the rasteriser (Mesa in software
// under Xvfb here), so pixels per second is that of the whole pipeline.
void BM_BackgroundFrameFinished(benchmark::State& state) {
  std::shared_ptr<TGraphics> graphics = OpenScreen(state);
  if (!graphics) return;
  BackgroundScene scene;
  for (auto _ : state) {
    scene.Draw();
    benchmark::DoNotOptimize(GrabPixmap(0, 0, 1, 1));  // waits for the frame to be rasterised
  }
  state.counters["pixels_per_second"] =
      benchmark::Counter(scene.FilledPixels() * state.iterations(), benchmark::Counter::kIsRate);
  CloseGraphicsContext(graphics);
}
BENCHMARK(BM_BackgroundFrameFinished)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A freshly served ball's halo at its largest (argument: frames left, 0 to 50) on a cleared
// frame, until its pixels are readable; argument 0 leaves one oval, so the difference to 50 is
// what the other 50 cost.
void BM_BallHaloFinished(benchmark::State& state) {
  std::shared_ptr<TGraphics> graphics = OpenScreen(state);
  if (!graphics) return;
  const int frames_left = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Cls();
    SetBlend(BLEND_LIGHT);
    SetAlpha(1);
    SetColor(1, 1, 0);
    for (int i = 0; i <= frames_left; ++i) {
      const float fi = static_cast<float>(i);
      DrawOval(400.3f - fi, 300.7f - fi, 2 * fi, 2 * fi);
    }
    benchmark::DoNotOptimize(GrabPixmap(0, 0, 1, 1));
  }
  CloseGraphicsContext(graphics);
}
BENCHMARK(BM_BallHaloFinished)->Arg(0)->Arg(50)->Unit(benchmark::kMicrosecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
