// Test fixtures that open the default graphics as the game does, so that the graphics serial
// moves on for every test and no image frame is reused from an earlier one.
#pragma once

#include <gtest/gtest.h>

#include "imagetext/text/imagetext_module.h"
#include "platform/graphics/graphics.h"
#include "render2d/gl/gl_vex2d_driver.h"
#include "tests/support/display.h"
#include "tests/support/recording_vex2d_driver.h"

// Default graphics on a recording driver: no window, every driver call recorded. The image text
// module is started first, so the graphics opened are ready for glyph and image frames.
class RecordedGraphicsTest : public ::testing::Test {
 protected:
  struct ImageTextStarted {
    ImageTextStarted() { StartImageTextModule(); }
  } started_;
  TRecordingSession session;
  TRecordingVex2DDriver& driver = session.driver;
};

// Default graphics on the OpenGL 2D driver, in a real window of the given size.
class OpenGLGraphicsTest : public ::testing::Test {
 protected:
  OpenGLGraphicsTest(int width, int height) : width_(width), height_(height) {}
  void SetUp() override {
    REQUIRE_DISPLAY();
    StartImageTextModule();
    StartGLVex2DModule();
    SelectGraphicsDriver(GetGLVex2DDriver(), 2);
    ASSERT_NE(OpenGraphics(width_, height_, 0, 0, 0), nullptr);
  }
  void TearDown() override { CloseDefaultGraphics(); }

 private:
  int width_;
  int height_;
};
