// Images without a window: frame bookkeeping under the graphics serial, pixmaps and masking,
// animation strips, and the module's image drawing against the recording driver.
#include "imagetext/image/image.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/runtime_error.h"
#include "platform/graphics/graphics.h"
#include "render2d/drawing/vex2d.h"
#include "tests/support/graphics_fixtures.h"

namespace {
using Args = std::vector<double>;

class ImagesOnRecorder : public RecordedGraphicsTest {
 protected:
  void TearDown() override {
    RecordedGraphicsTest::TearDown();
    SetAutoCentreHandle(0);
    SetAutoImageFlags(MASKEDIMAGE | FILTEREDIMAGE);
    SetImageMaskColour(0, 0, 0);
  }
};

PixmapRef Filled(int width, int height, int format, int colour) {
  PixmapRef pixmap = TPixmap::Create(width, height, format, 4);
  pixmap->ClearPixels(colour);
  return pixmap;
}

// Cell i of a 3 x 2 grid of 4 x 2 cells is filled with grey level 10 * i.
PixmapRef CellGrid() {
  PixmapRef grid = TPixmap::Create(12, 4, RGBA8888, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 12; ++x) {
      const int cell = (y / 2) * 3 + x / 4;
      grid->WritePixel(x, y, static_cast<int>(0xff000000u | (10u * cell) * 0x010101u));
    }
  return grid;
}
}  // namespace

TEST(Image, CreateGivesEmptyFramesAndAHandleAtTheCorner) {
  const ImageRef image = TImage::Create(10, 20, 3, 5, 1, 2, 3);
  EXPECT_EQ(image->width, 10);
  EXPECT_EQ(image->height, 20);
  EXPECT_EQ(image->flags, 5);
  EXPECT_EQ((Args{double(image->mask_r), double(image->mask_g), double(image->mask_b)}),
            (Args{1, 2, 3}));
  EXPECT_EQ(image->handle_x, 0.0f);
  EXPECT_EQ(image->handle_y, 0.0f);
  ASSERT_EQ(image->pixmaps.size(), 3u);
  ASSERT_EQ(image->frames.size(), 3u);
  EXPECT_EQ(image->seqs, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(image->pixmaps[1], nullptr);
  EXPECT_TRUE(TImage::Create(4, 4, -2, 0, 0, 0, 0)->seqs.empty());
}

TEST(Image, LoadUsesThePixmapItselfAndNoneGivesNone) {
  const PixmapRef pixmap = Filled(6, 3, RGBA8888, -1);
  const ImageRef image = TImage::Load(pixmap, 0, 0, 0, 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 6);
  EXPECT_EQ(image->height, 3);
  EXPECT_EQ(image->pixmaps[0], pixmap);
  EXPECT_EQ(TImage::Load(nullptr, 0, 0, 0, 0), nullptr);
}

TEST(Image, MaskedImagesKeyOutPixmapsWithoutAlphaOnly) {
  const PixmapRef rgba = Filled(2, 2, RGBA8888, static_cast<int>(0x80000000u));
  const ImageRef masked = TImage::Create(2, 2, 1, MASKEDIMAGE, 0, 0, 0);
  masked->SetPixmap(0, rgba);
  EXPECT_EQ(masked->pixmaps[0], rgba) << "a pixmap with alpha is stored unchanged";

  PixmapRef rgb = Filled(2, 2, RGB888, 0);
  rgb->WritePixel(1, 1, static_cast<int>(0xff102030u));
  masked->SetPixmap(0, rgb);
  const PixmapRef& stored = masked->pixmaps[0];
  ASSERT_NE(stored, rgb);
  EXPECT_EQ(stored->format, RGBA8888);
  EXPECT_EQ(static_cast<unsigned>(stored->ReadPixel(1, 1)), 0xff102030u);
  EXPECT_EQ(stored->ReadPixel(0, 0) >> 24 & 0xff, 0) << "the key colour is transparent";

  const ImageRef unmasked = TImage::Create(2, 2, 1, 0, 0, 0, 0);
  unmasked->SetPixmap(0, rgb);
  EXPECT_EQ(unmasked->pixmaps[0], rgb);
}

TEST(Image, LoadAnimCutsCellsAcrossThenDown) {
  const ImageRef strip = TImage::LoadAnim(CellGrid(), 4, 2, 1, 4, 0, 0, 0, 0);
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->width, 4);
  EXPECT_EQ(strip->height, 2);
  ASSERT_EQ(strip->pixmaps.size(), 4u);
  for (int frame = 0; frame < 4; ++frame) {
    const TPixmap& cell = *strip->pixmaps[frame];
    EXPECT_EQ(cell.width, 4);
    EXPECT_EQ(cell.ReadPixel(3, 1) & 0xff, 10 * (frame + 1)) << frame;
    EXPECT_NE(cell.capacity, -1) << "cells are copies, not views";
  }
  EXPECT_EQ(TImage::LoadAnim(CellGrid(), 4, 2, 3, 4, 0, 0, 0, 0), nullptr) << "only 6 cells";
  EXPECT_NE(TImage::LoadAnim(CellGrid(), 4, 2, 2, 4, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(TImage::LoadAnim(CellGrid(), 0, 2, 0, 1, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(TImage::LoadAnim(nullptr, 4, 2, 0, 1, 0, 0, 0, 0), nullptr);
}

TEST(Image, LockMakesABlankPixmapAndWritingDropsTheFrame) {
  const ImageRef image = TImage::Create(3, 2, 2, 0, 0, 0, 0);
  const PixmapRef locked = image->Lock(1, 1, 0);
  ASSERT_NE(locked, nullptr);
  EXPECT_EQ(locked->format, RGBA8888);
  EXPECT_EQ(locked->width, 3);
  EXPECT_EQ(locked->ReadPixel(2, 1), 0);
  EXPECT_EQ(image->Lock(1, 0, 0), locked);
  EXPECT_EQ(image->Lock(5, 1, 1), nullptr);
  EXPECT_EQ(image->Frame(-1), nullptr);
}

TEST_F(ImagesOnRecorder, FrameIsMadeOnceAndRetriedWhileMissing) {
  const ImageRef image = TImage::Load(Filled(8, 4, RGBA8888, -1), 6, 0, 0, 0);
  TImageFrame* frame = image->Frame(0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(image->Frame(0), frame);
  const auto made = driver.CallsNamed("CreateFrameFromPixmap");
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].args, (Args{8, 4, 6}));
  EXPECT_EQ(image->seqs[0], GraphicsSerial());

  image->SetPixmap(0, Filled(8, 4, RGBA8888, 0));
  EXPECT_EQ(image->seqs[0], 0);
  EXPECT_NE(image->Frame(0), nullptr);
  EXPECT_EQ(driver.CallsNamed("CreateFrameFromPixmap").size(), 2u);
}

TEST(ImageFrames, AFailedBuildIsRetriedOnTheNextCall) {
  // Refuses its first frame, then makes frames as the recorder does.
  class TRefusingOnceDriver : public TRecordingVex2DDriver {
   public:
    std::shared_ptr<TImageFrame> CreateFrameFromPixmap(const TPixmap& pixmap, int flags) override {
      if (refusals > 0) {
        --refusals;
        return nullptr;
      }
      return TRecordingVex2DDriver::CreateFrameFromPixmap(pixmap, flags);
    }
    int refusals = 1;
  };
  StartImageTextModule();
  TRefusingOnceDriver refusing;
  SelectGraphicsDriver(&refusing, 0);
  ASSERT_NE(OpenGraphics(800, 600, 0, 0, 0), nullptr);
  const ImageRef image = TImage::Load(Filled(4, 4, RGBA8888, -1), 0, 0, 0, 0);
  EXPECT_EQ(image->Frame(0), nullptr);
  EXPECT_EQ(image->seqs[0], 0) << "no frame is recorded as made";
  EXPECT_NE(image->Frame(0), nullptr);
  EXPECT_EQ(image->seqs[0], GraphicsSerial());
  CloseDefaultGraphics();
  SelectGraphicsDriver(nullptr, 0);
}

TEST_F(ImagesOnRecorder, DrawImageAtPutsTheImageHandleOnThePosition) {
  const ImageRef image = TImage::Load(Filled(10, 6, RGBA8888, -1), 0, 0, 0, 0);
  SetImageHandlePoint(*image, 2, 3);
  SetDrawOrigin(100, 200);
  SetDrawHandle(50, 50);  // images ignore the drawing handle
  DrawImageAt(*image, 5, 7, 0);
  const auto draws = driver.CallsNamed("FrameDraw");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].args, (Args{-2, -3, 8, 3, 105, 207}));
  DrawImageSized(*image, 5, 7, 20, 30, 0);
  EXPECT_EQ(driver.Last().args, (Args{-2, -3, 18, 27, 105, 207}));
  DrawImageAt(*image, 0, 0, 1);  // no such frame: nothing
  EXPECT_EQ(driver.CallsNamed("FrameDraw").size(), 2u);
}

TEST_F(ImagesOnRecorder, TilesCoverTheViewportAlignedOnTheImage) {
  const ImageRef image = TImage::Load(Filled(10, 8, RGBA8888, -1), 0, 0, 0, 0);
  SetViewport(0, 0, 25, 10);
  SetDrawRotation(30);
  driver.Clear();
  TileImageOver(*image, -19, 0, 0);
  const auto draws = driver.CallsNamed("FrameDraw");
  // Columns at -9, 1, 11, 21; rows at 0 and 8.
  ASSERT_EQ(draws.size(), 8u);
  const double columns[] = {-9, 1, 11, 21};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(draws[i].args, (Args{0, 0, 10, 8, columns[i % 4], i < 4 ? 0.0 : 8.0})) << i;
  }
  // Drawn unrotated, and the rotation's matrix is back afterwards.
  const auto transforms = driver.CallsNamed("SetTransform");
  ASSERT_EQ(transforms.size(), 2u);
  EXPECT_EQ(transforms[0].args, (Args{1, 0, 0, 1}));
  const auto* g = TVex2DGraphics::Current().get();
  EXPECT_EQ(transforms[1].args, (Args{g->tform_ix, g->tform_iy, g->tform_jx, g->tform_jy}));
}

TEST_F(ImagesOnRecorder, TilesKeepTheFractionOfThePosition) {
  const ImageRef image = TImage::Load(Filled(10, 10, RGBA8888, -1), 0, 0, 0, 0);
  SetViewport(0, 0, 10, 10);
  TileImageOver(*image, 3.25f, -0.5f, 0);
  const auto draws = driver.CallsNamed("FrameDraw");
  ASSERT_EQ(draws.size(), 4u);
  EXPECT_EQ(draws[0].args, (Args{0, 0, 10, 10, -6.75, -0.5}));
  EXPECT_EQ(draws[1].args, (Args{0, 0, 10, 10, 3.25, -0.5}));
  EXPECT_EQ(draws[3].args, (Args{0, 0, 10, 10, 3.25, 9.5}));
}

TEST_F(ImagesOnRecorder, TilesLineUpWithPositionsFarBeyondTheScreen) {
  const ImageRef image = TImage::Load(Filled(10, 10, RGBA8888, -1), 0, 0, 0, 0);
  SetViewport(0, 0, 25, 10);
  driver.Clear();
  // 1e10 and -3e9 are floats that are multiples of 10: the tiles sit on 0, 10 and 20.
  TileImageOver(*image, 1e10f, -3e9f, 0);
  const auto draws = driver.CallsNamed("FrameDraw");
  ASSERT_EQ(draws.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(draws[i].args, (Args{0, 0, 10, 10, 10.0 * i, 0})) << i;
  driver.Clear();
  TileImageOver(*image, std::numeric_limits<float>::quiet_NaN(), 0, 0);
  TileImageOver(*image, 0, std::numeric_limits<float>::infinity(), 0);
  EXPECT_TRUE(driver.CallsNamed("FrameDraw").empty());
  EXPECT_TRUE(driver.CallsNamed("SetTransform").empty());
}

TEST_F(ImagesOnRecorder, HugeViewportsTileOnlyTheScreenWithoutOverflow) {
  const ImageRef image = TImage::Load(Filled(100, 100, RGBA8888, -1), 0, 0, 0, 0);
  // Left and top edges near the int limits: the viewport's far edges lie past them.
  for (const auto& [x, y] : {std::pair{INT_MIN, INT_MIN}, std::pair{-5, -5}, std::pair{0, 0}}) {
    SetViewport(x, y, INT_MAX, INT_MAX);
    driver.Clear();
    TileImageOver(*image, 0, 0, 0);
    const auto draws = driver.CallsNamed("FrameDraw");
    // The part on the 800 x 600 screen: its first tile at (0, 0), 8 columns of 6 rows.
    ASSERT_EQ(draws.size(), x == INT_MIN ? 0u : 48u) << x;
    if (x != INT_MIN) {
      EXPECT_EQ(draws.front().args, (Args{0, 0, 100, 100, 0, 0}));
      EXPECT_EQ(draws.back().args, (Args{0, 0, 100, 100, 700, 500}));
    }
  }
  SetViewport(INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX);  // wholly off the screen
  driver.Clear();
  TileImageOver(*image, 3, 3, 0);
  EXPECT_TRUE(driver.CallsNamed("FrameDraw").empty());
}

TEST_F(ImagesOnRecorder, ADrawImageTooLargeToLockRaisesAnErrorNamingItsSize) {
  const ImageRef image = NewDrawImage(65536, 65536, 1, 0);
  try {
    LockImage(*image, 0, 1, 1);
    ADD_FAILURE() << "a 16 GiB pixmap cannot be made";
  } catch (const RuntimeError& error) {
    EXPECT_NE(std::string(error.what()).find("65536x65536"), std::string::npos) << error.what();
  }
}

TEST(Image, AnimationStripRangesBeyondTheIntRangeAreRejected) {
  const PixmapRef grid = CellGrid();
  EXPECT_EQ(TImage::LoadAnim(grid, 4, 2, INT_MAX, 2, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(TImage::LoadAnim(grid, 4, 2, 1, INT_MAX, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(TImage::LoadAnim(grid, 1, 1, 0, 48, 0, 0, 0, 0)->frames.size(), 48u);
}

TEST_F(ImagesOnRecorder, ModuleLoadsApplyTheAutomaticSettings) {
  SetAutoImageFlags(-1);
  EXPECT_EQ(AutoImageFlags(), MASKEDIMAGE | FILTEREDIMAGE);
  SetImageMaskColour(1, 2, 3);
  int r = 0, g = 0, b = 0;
  GetImageMaskColour(r, g, b);
  EXPECT_EQ((Args{double(r), double(g), double(b)}), (Args{1, 2, 3}));
  const ImageRef automatic = ImageFromSource(Filled(4, 6, RGBA8888, -1), -1);
  EXPECT_EQ(automatic->flags, 3);
  EXPECT_EQ(automatic->mask_b, 3);
  EXPECT_EQ(automatic->handle_x, 0.0f);

  SetAutoCentreHandle(1);
  SetAutoImageFlags(4);
  const ImageRef centred = ImageFromSource(Filled(4, 6, RGBA8888, -1), -1);
  EXPECT_EQ(centred->flags, 4);
  EXPECT_EQ(centred->handle_x, 2.0f);
  EXPECT_EQ(centred->handle_y, 3.0f);
  EXPECT_EQ(NewDrawImage(5, 5, 2, 1)->flags, 1 | DYNAMICIMAGE);
  EXPECT_EQ(ImageStripFromSource(CellGrid(), 4, 2, 0, 6, 0)->handle_x, 2.0f);
  EXPECT_EQ(ImageFromSource(nullptr, 0), nullptr);
}

TEST_F(ImagesOnRecorder, GrabbedFramesAreMaskedWithTheModuleKeyColour) {
  // The recorder's screen reads as transparent black. Keyed on another colour, masking makes
  // every pixel opaque; the image's own mask colour plays no part.
  SetImageMaskColour(1, 2, 3);
  const ImageRef masked = TImage::Create(3, 2, 1, MASKEDIMAGE, 0, 0, 0);
  GrabImageFrame(*masked, 7, 8, 0);
  EXPECT_EQ(driver.Last().args, (Args{7, 8, 3, 2}));
  ASSERT_NE(masked->pixmaps[0], nullptr);
  EXPECT_EQ(static_cast<unsigned>(masked->pixmaps[0]->ReadPixel(1, 1)), 0xff000000u);
  const ImageRef plain = TImage::Create(3, 2, 1, 0, 0, 0, 0);
  GrabImageFrame(*plain, 0, 0, 0);
  ASSERT_NE(plain->pixmaps[0], nullptr);
  EXPECT_EQ(plain->pixmaps[0]->ReadPixel(1, 1), 0);
}
