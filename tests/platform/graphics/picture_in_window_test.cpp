// Where a picture stands in its window, and window pixels mapped to picture pixels and back.
#include "platform/graphics/picture_in_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
// The picture as large as fits, centred, and pointer positions in picture pixels both ways.
TEST(PicturePlacement, FillsTheLimitingSideCentredAndMapsPointerPixelsBothWays) {
  struct Case {
    int window_width, window_height;
    PicturePlacement placed;
  };
  for (const Case& at :
       {Case{800, 600, {0, 0, 800, 600}}, Case{1600, 1200, {0, 0, 1600, 1200}},
        Case{1920, 1080, {240, 0, 1440, 1080}}, Case{2560, 1600, {213, 0, 2133, 1600}},
        Case{800, 900, {0, 150, 800, 600}}, Case{700, 600, {0, 0, 800, 600}}}) {
    EXPECT_EQ(PlacePicture(800, 600, at.window_width, at.window_height), at.placed)
        << at.window_width << " x " << at.window_height;
  }
  PictureInWindow picture = DescribePictureInWindow(800, 600, 1920, 1080);
  EXPECT_EQ((std::vector<int>{picture.PictureX(239), picture.PictureX(240), picture.PictureX(242),
                              picture.PictureX(1679), picture.PictureY(1079), picture.WindowX(400),
                              picture.WindowY(300), picture.rows_up}),
            (std::vector<int>{-1, 0, 1, 799, 599, 960, 540, 480}));
  picture = DescribePictureInWindow(800, 600, 1600, 1200);
  EXPECT_EQ((std::vector<int>{picture.PictureX(-1), picture.PictureX(3), picture.WindowX(3)}),
            (std::vector<int>{-1, 1, 6}));
  // A window shorter than the picture shows its top: the picture's bottom row is below the window.
  EXPECT_EQ(DescribePictureInWindow(800, 600, 800, 500).rows_up, -100);
}

// The window's height follows its width, so that the picture fills it at any scale (130 dpi once
// made 1083 x 813 and left the bottom row black).
TEST(PicturePlacement, AWindowMadeForAScaleIsFilledWhole) {
  for (const double scale : {130 / 96.0, 1.25, 1.3, 1.5, 1.75, 2.0, 2.6}) {
    const PictureSize window = WindowSizeFor(800, 600, scale);
    EXPECT_EQ(window.width, std::lround(800 * scale)) << scale;
    EXPECT_EQ(PlacePicture(800, 600, window.width, window.height),
              (PicturePlacement{0, 0, window.width, window.height}))
        << scale;
  }
  EXPECT_EQ(WindowSizeFor(800, 600, 130 / 96.0), (PictureSize{1083, 812}));
}
}  // namespace
