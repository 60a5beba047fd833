#include "imagetext/pixmap/pixmap.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

#include "imagetext/pixmap/pixel_formats.h"
#include "tests/support/raised_text.h"

namespace {
constexpr int kFormats[] = {I8, A8, BGR888, RGB888, BGRA8888, RGBA8888};

int Argb(int a, int r, int g, int b) {
  return static_cast<int>(static_cast<std::uint32_t>(a) << 24 | r << 16 | g << 8 | b);
}

std::vector<int> Bytes(const std::uint8_t* p, int count) {
  return std::vector<int>(p, p + count);
}
}  // namespace

TEST(Pixmap, CreatePadsRowsToTheAlignment) {
  PixmapRef rgb = TPixmap::Create(3, 2, RGB888, 4);
  EXPECT_EQ(rgb->pitch, 12);
  EXPECT_EQ(rgb->capacity, 24);
  EXPECT_EQ(TPixmap::Create(8, 16, RGBA8888, 4)->pitch, 32);
  EXPECT_EQ(TPixmap::Create(5, 1, I8, 4)->pitch, 8);
  EXPECT_EQ(TPixmap::Create(5, 1, I8, 1)->pitch, 5);
  EXPECT_EQ(TPixmap::Create(3, 1, RGB888, 16)->pitch, 16);
  EXPECT_EQ(rgb->PixelPtr(2, 1) - rgb->pixels, 12 + 6);
  EXPECT_EQ(rgb->_source, nullptr);
}

namespace {
bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}
}  // namespace

TEST(Pixmap, SizesThatCannotBeMadeRaiseAnErrorNamingThem) {
  // Negative sizes, rows past the int range, and totals that would wrap to a small allocation.
  EXPECT_PRED2(Contains, RaisedText([] { TPixmap::Create(-1, 5, RGBA8888, 4); }), "-1x5 pixels");
  EXPECT_PRED2(Contains, RaisedText([] { TPixmap::Create(5, -2, I8, 4); }), "5x-2 pixels");
  EXPECT_PRED2(Contains, RaisedText([] { TPixmap::Create(1 << 29, 1, RGBA8888, 4); }),
               "536870912x1 pixels");
  EXPECT_PRED2(Contains,
               RaisedText([] { TPixmap::Create(INT_MAX, 1, I8, 4); }),  // padding passes the limit
               "2147483647x1 pixels");
  // 65536 x 65536 x 4 bytes is 2^34, which an int total wraps to 0.
  EXPECT_PRED2(Contains, RaisedText([] { TPixmap::Create(65536, 65536, RGBA8888, 4); }),
               "65536x65536 pixels");
  EXPECT_PRED2(Contains, RaisedText([] { TPixmap::Create(46341, 46341, I8, 1); }), "46341x46341");
  // Rows past the int range times a huge height would overflow even a 64-bit total.
  EXPECT_PRED2(Contains, RaisedText([] { TPixmap::Create(INT_MAX, INT_MAX, RGBA8888, 64); }),
               "2147483647x2147483647");
  EXPECT_PRED2(Contains, RaisedText([] { TPixmap::Create(4, 4, I8, 0); }), "aligned to 0");
  // Operations that make pixmaps of a size they are given meet the same check.
  const PixmapRef small = TPixmap::Create(2, 2, RGB888, 4);
  EXPECT_PRED2(Contains, RaisedText([&] { ResizePixmap(*small, 1 << 16, 1 << 16); }),
               "65536x65536");
  EXPECT_PRED2(Contains, RaisedText([&] { ResizePixmap(*small, -3, 2); }), "-3x2");
  // Right up to the limit sizes are still made; clearing rows of no bytes takes no time however
  // many there are.
  EXPECT_EQ(TPixmap::Create(0, 0, RGBA8888, 4)->capacity, 0);
  TPixmap::Create(0, INT_MAX, RGBA8888, 4)->ClearPixels(-1);
  EXPECT_EQ(TPixmap::Create(1 << 20, 0, RGBA8888, 4)->pitch, 1 << 22);
}

TEST(Pixmap, StaticPixmapWrapsForeignMemory) {
  std::array<std::uint8_t, 16> memory{};
  PixmapRef p = TPixmap::CreateStatic(memory.data(), 2, 2, 8, RGBA8888);
  EXPECT_EQ(p->capacity, -1);
  p->WritePixel(1, 1, -1);
  EXPECT_EQ(Bytes(&memory[12], 4), (std::vector<int>{255, 255, 255, 255}));
}

TEST(Pixmap, ReadAndWritePixelPerFormat) {
  const int colour = Argb(0x80, 16, 32, 48);
  struct Case {
    int format;
    std::vector<int> stored;
    int read_back;
  };
  const Case cases[] = {
      {I8, {32}, Argb(255, 32, 32, 32)},
      {A8, {0x80}, Argb(0x80, 255, 255, 255)},
      {BGR888, {48, 32, 16}, Argb(255, 16, 32, 48)},
      {RGB888, {16, 32, 48}, Argb(255, 16, 32, 48)},
      {BGRA8888, {48, 32, 16, 0x80}, colour},
      {RGBA8888, {16, 32, 48, 0x80}, colour},
  };
  for (const Case& c : cases) {
    PixmapRef p = TPixmap::Create(2, 2, c.format, 4);
    p->ClearPixels(0);
    p->WritePixel(1, 1, colour);
    EXPECT_EQ(Bytes(p->PixelPtr(1, 1), BytesPerPixel(c.format)), c.stored) << "format " << c.format;
    EXPECT_EQ(p->ReadPixel(1, 1), c.read_back) << "format " << c.format;
    EXPECT_EQ(p->ReadPixel(0, 1) & 0xFFFFFF, c.format == A8 ? 0xFFFFFF : 0);
  }
}

TEST(Pixmap, WhiteAndTransparentBlackRoundTrip) {
  PixmapRef p = TPixmap::Create(1, 1, RGBA8888, 4);
  p->WritePixel(0, 0, -1);
  EXPECT_EQ(Bytes(p->pixels, 4), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ(p->ReadPixel(0, 0), -1);
  p->WritePixel(0, 0, 0);
  EXPECT_EQ(Bytes(p->pixels, 4), (std::vector<int>{0, 0, 0, 0}));
}

TEST(Pixmap, UnknownFormatReadsZeroAndWritesNothing) {
  PixmapRef p = TPixmap::Create(2, 1, 9, 4);
  p->pixels[0] = 77;
  p->WritePixel(0, 0, -1);
  p->ClearPixels(-1);
  EXPECT_EQ(p->pixels[0], 77);
  EXPECT_EQ(p->ReadPixel(0, 0), 0);
}

TEST(Pixmap, ClearPixelsFillsRowsButNotPadding) {
  PixmapRef p = TPixmap::Create(3, 2, RGB888, 4);
  std::fill(p->pixels, p->pixels + p->capacity, 0xAA);
  p->ClearPixels(Argb(255, 1, 2, 3));
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(Bytes(p->PixelPtr(0, y), 9), (std::vector<int>{1, 2, 3, 1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(p->PixelPtr(0, y)[9], 0xAA) << "padding byte of row " << y;
  }
  p->ClearPixels(0);
  EXPECT_EQ(Bytes(p->PixelPtr(0, 1), 9), std::vector<int>(9, 0));
  EXPECT_EQ(p->PixelPtr(0, 1)[9], 0xAA);

  PixmapRef tight = TPixmap::Create(2, 2, RGBA8888, 4);
  std::fill(tight->pixels, tight->pixels + tight->capacity, 0xAA);
  tight->ClearPixels(0);
  EXPECT_EQ(Bytes(tight->pixels, 16), std::vector<int>(16, 0));
}

TEST(Pixmap, WindowSharesMemoryAndKeepsItsSourceAlive) {
  PixmapRef source = TPixmap::Create(10, 6, RGBA8888, 4);
  source->ClearPixels(0);
  PixmapRef window = source->Window(2, 3, 4, 2);
  EXPECT_EQ(window->capacity, -1);
  EXPECT_EQ(window->pitch, source->pitch);
  EXPECT_EQ(window->_source, source);
  window->WritePixel(1, 1, Argb(255, 9, 8, 7));
  EXPECT_EQ(source->ReadPixel(3, 4), Argb(255, 9, 8, 7));
  source->WritePixel(2, 3, Argb(1, 2, 3, 4));
  EXPECT_EQ(window->ReadPixel(0, 0), Argb(1, 2, 3, 4));

  std::weak_ptr<TPixmap> watch = source;
  source.reset();
  EXPECT_FALSE(watch.expired()) << "a window must keep its source's memory alive";
  EXPECT_EQ(window->ReadPixel(1, 1), Argb(255, 9, 8, 7));
  window.reset();
  EXPECT_TRUE(watch.expired());
}

TEST(Pixmap, CopyOfAWindowIsIndependentWithATightPitch) {
  PixmapRef source = TPixmap::Create(100, 4, RGB888, 4);
  source->ClearPixels(Argb(255, 5, 5, 5));
  PixmapRef window = source->Window(10, 1, 5, 2);
  PixmapRef copy = window->Copy();
  EXPECT_EQ(copy->pitch, 16);  // 5 * 3 bytes rounded up to 4
  EXPECT_EQ(copy->capacity, 32);
  EXPECT_EQ(copy->_source, nullptr);
  EXPECT_EQ(copy->ReadPixel(4, 1), Argb(255, 5, 5, 5));
  copy->WritePixel(0, 0, Argb(255, 1, 1, 1));
  EXPECT_EQ(source->ReadPixel(10, 1), Argb(255, 5, 5, 5));
}

TEST(Pixmap, ConversionFromTheStandardFormatAndBack) {
  PixmapRef standard = TPixmap::Create(1, 1, RGBA8888, 4);
  const std::uint8_t rgba[] = {30, 60, 93, 200};
  std::copy(rgba, rgba + 4, standard->pixels);
  const std::vector<int> from_standard[] = {
      {61}, {200}, {93, 60, 30}, {30, 60, 93}, {93, 60, 30, 200}, {30, 60, 93, 200}};
  const std::vector<int> back[] = {{61, 61, 61, 255}, {255, 255, 255, 200}, {30, 60, 93, 255},
                                   {30, 60, 93, 255}, {30, 60, 93, 200},    {30, 60, 93, 200}};
  for (int i = 0; i < 6; ++i) {
    const int format = kFormats[i];
    PixmapRef converted = standard->Convert(format);
    EXPECT_EQ(converted->format, format);
    EXPECT_EQ(Bytes(converted->pixels, BytesPerPixel(format)), from_standard[i]) << format;
    EXPECT_EQ(Bytes(converted->Convert(RGBA8888)->pixels, 4), back[i]) << format;
  }
}

TEST(Pixmap, ConversionBetweenTwoOtherFormatsGoesThroughTheStandardOne) {
  // Longer than one internal chunk, so the detour is exercised across chunk boundaries.
  const int count = 700;
  std::vector<std::uint8_t> bgr(count * 3), rgb(count * 3), grey(count), bgra(count * 4);
  for (int i = 0; i < count * 3; ++i) bgr[i] = static_cast<std::uint8_t>(i * 7);
  ConvertPixels(bgr.data(), BGR888, rgb.data(), RGB888, count);
  ConvertPixels(bgr.data(), BGR888, grey.data(), I8, count);
  ConvertPixels(grey.data(), I8, bgra.data(), BGRA8888, count);
  for (int i = 0; i < count; ++i) {
    const int b = bgr[i * 3], g = bgr[i * 3 + 1], r = bgr[i * 3 + 2];
    ASSERT_EQ(rgb[i * 3], r) << i;
    ASSERT_EQ(rgb[i * 3 + 2], b) << i;
    ASSERT_EQ(grey[i], (r + g + b) / 3) << i;
    ASSERT_EQ(Bytes(&bgra[i * 4], 4), (std::vector<int>{grey[i], grey[i], grey[i], 255})) << i;
  }
  std::vector<std::uint8_t> alpha_only(count);
  ConvertPixels(bgra.data(), BGRA8888, alpha_only.data(), A8, count);
  EXPECT_EQ(alpha_only, std::vector<std::uint8_t>(count, 255));
}

TEST(Pixmap, PasteConvertsIntoTheDestinationFormat) {
  PixmapRef destination = TPixmap::Create(4, 4, BGRA8888, 4);
  destination->ClearPixels(0);
  PixmapRef source = TPixmap::Create(2, 2, RGB888, 4);
  source->ClearPixels(Argb(255, 10, 20, 30));
  source->WritePixel(1, 1, Argb(255, 1, 2, 3));
  destination->Paste(*source, 1, 2);
  EXPECT_EQ(destination->ReadPixel(1, 2), Argb(255, 10, 20, 30));
  EXPECT_EQ(destination->ReadPixel(2, 3), Argb(255, 1, 2, 3));
  EXPECT_EQ(destination->ReadPixel(0, 2), 0);
  EXPECT_EQ(destination->ReadPixel(3, 3), 0);
  EXPECT_EQ(destination->ReadPixel(1, 1), 0);
}

TEST(Pixmap, MaskMakesKeyPixelsTransparentWithTheirNeighboursAverage) {
  PixmapRef p = TPixmap::Create(3, 3, RGB888, 4);
  p->ClearPixels(Argb(255, 255, 0, 255));  // key everywhere
  p->WritePixel(0, 0, Argb(255, 10, 20, 30));
  p->WritePixel(2, 0, Argb(255, 21, 40, 61));
  p->WritePixel(2, 2, Argb(255, 100, 100, 100));
  PixmapRef masked = MaskPixmap(*p, 255, 0, 255);
  EXPECT_EQ(masked->format, RGBA8888);
  EXPECT_EQ(masked->ReadPixel(0, 0), Argb(255, 10, 20, 30));
  EXPECT_EQ(masked->ReadPixel(2, 2), Argb(255, 100, 100, 100));
  // The centre sees all three non-key pixels: (10+21+100)/3 = 43, (20+40+100)/3 = 53, 191/3 = 63.
  EXPECT_EQ(masked->ReadPixel(1, 1), Argb(0, 43, 53, 63));
  // The top middle sees the two top corners: averages truncate.
  EXPECT_EQ(masked->ReadPixel(1, 0), Argb(0, 15, 30, 45));
  // The bottom-left corner sees no non-key neighbour.
  EXPECT_EQ(masked->ReadPixel(0, 2), 0);
}

TEST(Pixmap, MaskMakesEveryOtherPixelOpaque) {
  PixmapRef p = TPixmap::Create(2, 1, RGBA8888, 4);
  p->WritePixel(0, 0, Argb(12, 1, 2, 3));
  p->WritePixel(1, 0, Argb(0, 0, 0, 0));
  PixmapRef masked = MaskPixmap(*p, 0, 0, 0);
  EXPECT_EQ(masked->ReadPixel(0, 0), Argb(255, 1, 2, 3));
  EXPECT_EQ(masked->ReadPixel(1, 0), Argb(0, 1, 2, 3));
}

TEST(Pixmap, ResizeInterpolatesWithHalfPixelCentres) {
  PixmapRef p = TPixmap::Create(2, 1, I8, 4);
  p->pixels[0] = 0;
  p->pixels[1] = 200;
  PixmapRef wide = ResizePixmap(*p, 4, 1);
  EXPECT_EQ(wide->format, I8);
  EXPECT_EQ(Bytes(wide->pixels, 4), (std::vector<int>{0, 50, 150, 200}));

  PixmapRef tall = TPixmap::Create(1, 2, RGBA8888, 4);
  tall->WritePixel(0, 0, Argb(0, 0, 0, 0));
  tall->WritePixel(0, 1, Argb(200, 200, 100, 40));
  PixmapRef stretched = ResizePixmap(*tall, 1, 4);
  EXPECT_EQ(stretched->ReadPixel(0, 1), Argb(50, 50, 25, 10));
  EXPECT_EQ(stretched->ReadPixel(0, 2), Argb(150, 150, 75, 30));
  EXPECT_EQ(stretched->ReadPixel(0, 3), Argb(200, 200, 100, 40));
}

TEST(Pixmap, ResizeHalvingAveragesPairs) {
  PixmapRef p = TPixmap::Create(4, 4, RGBA8888, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) p->WritePixel(x, y, Argb(255, x * 60, y * 60, 0));
  }
  PixmapRef half = ResizePixmap(*p, 2, 2);
  EXPECT_EQ(half->ReadPixel(0, 0), Argb(255, 30, 30, 0));
  EXPECT_EQ(half->ReadPixel(1, 1), Argb(255, 150, 150, 0));
}

TEST(Pixmap, ResizeToTheSameSizeIsAnEqualCopy) {
  for (int format : kFormats) {
    PixmapRef p = TPixmap::Create(7, 5, format, 4);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 7; ++x) p->WritePixel(x, y, Argb(x * 30 + 7, y * 50, x * y * 9, 255 - x));
    }
    PixmapRef same = ResizePixmap(*p, 7, 5);
    ASSERT_EQ(same->format, format);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 7; ++x) {
        ASSERT_EQ(same->ReadPixel(x, y), p->ReadPixel(x, y)) << format << " at " << x << "," << y;
      }
    }
  }
}

TEST(Pixmap, ResizingAnEmptyPixmapGivesTransparentBlack) {
  mallopt(M_PERTURB, 0x55);  // fresh memory reads 0xAA, so a read past the empty source shows
  PixmapRef empty = TPixmap::Create(0, 0, RGB888, 4);
  PixmapRef resized = ResizePixmap(*empty, 3, 2);
  PixmapRef from_empty_row = ResizePixmap(*TPixmap::Create(5, 0, RGBA8888, 4), 2, 2);
  mallopt(M_PERTURB, 0);
  EXPECT_EQ(resized->format, RGB888);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(resized->ReadPixel(x, y), Argb(255, 0, 0, 0));
    for (int x = 0; x < 2; ++x) EXPECT_EQ(from_empty_row->ReadPixel(x, y), 0);
  }
}

TEST(Pixmap, FlipsMirrorRowsAndColumns) {
  PixmapRef p = TPixmap::Create(3, 2, RGB888, 1);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) p->WritePixel(x, y, Argb(255, x, y, 7));
  }
  PixmapRef h = FlipPixmapHorizontal(*p);
  PixmapRef v = FlipPixmapVertical(*p);
  EXPECT_EQ(h->pitch, 12);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(h->ReadPixel(x, y), p->ReadPixel(2 - x, y));
      EXPECT_EQ(v->ReadPixel(x, y), p->ReadPixel(x, 1 - y));
    }
  }
}

TEST(Pixmap, ModuleFunctionsForwardToThePixmap) {
  PixmapRef p = CreatePixmap(3, 2, RGB888);
  EXPECT_EQ(PixmapWidth(*p), 3);
  EXPECT_EQ(PixmapHeight(*p), 2);
  EXPECT_EQ(PixmapPitch(*p), 12);
  EXPECT_EQ(PixmapFormat(*p), RGB888);
  ClearPixels(*p, Argb(255, 4, 5, 6));
  WritePixel(*p, 2, 1, Argb(255, 7, 8, 9));
  EXPECT_EQ(ReadPixel(*p, 2, 1), Argb(255, 7, 8, 9));
  EXPECT_EQ(PixmapPixelPtr(*p, 2, 1), p->pixels + 12 + 6);
  EXPECT_EQ(ReadPixel(*ConvertPixmap(*p, I8), 0, 0), Argb(255, 5, 5, 5));
  EXPECT_EQ(ReadPixel(*CopyPixmap(*PixmapWindow(*p, 1, 1, 2, 1)), 1, 0), Argb(255, 7, 8, 9));
}

#ifndef NDEBUG
TEST(PixmapDeathTest, OutOfBoundsAccessIsCaughtInDebugBuilds) {
  PixmapRef p = TPixmap::Create(2, 2, RGBA8888, 4);
  EXPECT_DEATH(p->ReadPixel(2, 0), "outside");
  EXPECT_DEATH(p->WritePixel(0, -1, 0), "outside");
  EXPECT_DEATH(p->Window(1, 1, 2, 1), "inside");
  PixmapRef big = TPixmap::Create(3, 3, RGBA8888, 4);
  EXPECT_DEATH(p->Paste(*big, 0, 0), "fit");
}
#endif
