// The help page's 23 lines of text at scale 1.3, drawn every frame through the real OpenGL back
// end: time per frame, heap allocations per frame (global operator new is counted here) and
// texture binds per frame (glBindTexture is interposed here).
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string_view>

#include "game/screens/screen_texts.h"
#include "imagetext/text/imagetext_module.h"
#include "imagetext/text/text.h"
#include "platform/events/system_driver.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/primitives.h"
#include "render2d/drawing/vex2d.h"
#include "render2d/gl/gl_vex2d_driver.h"

namespace {
std::atomic<long> allocations{0};
std::atomic<long> texture_binds{0};

void* CountedAllocation(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) {
  return CountedAllocation(size);
}
void* operator new[](std::size_t size) {
  return CountedAllocation(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

// Every bind the program makes reaches OpenGL through here first.
extern "C" void glBindTexture(unsigned target, unsigned texture) {
  using BindEntry = void (*)(unsigned, unsigned);
  static const auto next = reinterpret_cast<BindEntry>(dlsym(RTLD_NEXT, "glBindTexture"));
  texture_binds.fetch_add(1, std::memory_order_relaxed);
  next(target, texture);
}

namespace {
constexpr float kScale = 1.3f;

long GlyphsPerFrame() {
  long glyphs = 0;
  for (std::u16string_view line : kHelpLines) glyphs += static_cast<long>(line.size());
  return glyphs;
}

// As the game draws its texts: one character at a time, each with its own colour and tilt.
void DrawHelpPerCharacter() {
  SetDrawScale(kScale, kScale);
  for (int k = 1; k <= 23; ++k) {
    const std::u16string_view line = kHelpLines[k - 1];
    float x = static_cast<float>(
        static_cast<int>(400 - static_cast<float>(StringWidth(line)) * kScale / 2));
    const float y = static_cast<float>(97 + 18 * k);
    for (std::size_t i = 0; i < line.size(); ++i) {
      SetColor(100 + static_cast<int>(i * 37 % 156), 255 - k * 5, 100 + k * 6);
      SetDrawRotation(static_cast<float>(static_cast<int>(i % 21) - 10));
      const std::u16string_view character = line.substr(i, 1);
      DrawString(character, x, y);
      x = static_cast<float>(
          static_cast<int>(x + static_cast<float>(StringWidth(character)) * kScale));
    }
  }
  SetDrawRotation(0);
  SetDrawScale(1, 1);
}

void DrawHelpWholeLines() {
  SetDrawScale(kScale, kScale);
  for (int k = 1; k <= 23; ++k) {
    const std::u16string_view line = kHelpLines[k - 1];
    DrawString(line, 400 - static_cast<float>(StringWidth(line)) * kScale / 2,
               static_cast<float>(97 + 18 * k));
  }
  SetDrawScale(1, 1);
}

void OpenWindow() {
  StartSystemModule();
  StartGraphicsModule();
  StartImageTextModule();
  StartGLVex2DModule();
  SelectGraphicsDriver(GetGLVex2DDriver(), 2);
  // Reopened for every benchmark, so that each first frame makes its glyph textures afresh.
  if (!OpenGraphics(800, 600, 0, 0, 0)) std::abort();
  SetBlend(BLEND_ALPHA);
  SetAlpha(0.9f);
}

// Waits until OpenGL has drawn everything, so that the time includes rasterising.
void Finish() {
  benchmark::DoNotOptimize(GrabPixmap(0, 0, 1, 1));
}

void RunFrames(benchmark::State& state, void (*draw)()) {
  OpenWindow();
  long first_allocations = allocations.load();
  long first_binds = texture_binds.load();
  Cls();
  draw();
  first_allocations = allocations.load() - first_allocations;
  first_binds = texture_binds.load() - first_binds;
  Finish();

  long frame_allocations = 0;
  long frame_binds = 0;
  for (auto _ : state) {
    Cls();
    const long allocations_before = allocations.load();
    const long binds_before = texture_binds.load();
    draw();
    frame_allocations += allocations.load() - allocations_before;
    frame_binds += texture_binds.load() - binds_before;
    Finish();
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["glyphs_per_frame"] = static_cast<double>(GlyphsPerFrame());
  state.counters["first_frame_allocs"] = static_cast<double>(first_allocations);
  state.counters["first_frame_binds"] = static_cast<double>(first_binds);
  state.counters["allocs_per_frame"] = static_cast<double>(frame_allocations) / frames;
  state.counters["binds_per_frame"] = static_cast<double>(frame_binds) / frames;
  CloseDefaultGraphics();
}

void BM_HelpTextPerCharacter(benchmark::State& state) {
  RunFrames(state, DrawHelpPerCharacter);
}
BENCHMARK(BM_HelpTextPerCharacter)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_HelpTextWholeLines(benchmark::State& state) {
  RunFrames(state, DrawHelpWholeLines);
}
BENCHMARK(BM_HelpTextWholeLines)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
}  // namespace

BENCHMARK_MAIN();
