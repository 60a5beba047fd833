// The GLX glue against a real X server (Xvfb) with Mesa's software OpenGL.
#include "platform/glx/glx_context.h"

#include <gtest/gtest.h>

#include "platform/core/runtime_error.h"
#include "platform/glx/gl_graphics.h"
#include "platform/glx/graphics_diagnosis.h"
#include "platform/glx/shared_context_scope.h"
#include "platform/glx/window_scale.h"
#include "platform/graphics/graphics.h"
#include "platform/x11/input_window.h"
#include "platform/x11/x_display.h"
#include "tests/support/display.h"

// X and GL after gtest: Xlib's macros (None, Bool) collide with gtest's names.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/window_finder.h"

namespace {
class GlxContext : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_DISPLAY();
    display = OpenXDisplay();
    ASSERT_NE(display, nullptr);
    TakeLastXError();
  }
  void TearDown() override {
    for (int handle : opened) CloseContextWindow(handle);
  }
  int Create(int width, int height, int depth, int hertz, int flags) {
    const int handle = CreateContextWindow(width, height, depth, hertz, flags);
    if (handle != 0) opened.push_back(handle);
    return handle;
  }
  // The window's attributes, or false when the server no longer knows it.
  bool Attributes(unsigned long window, XWindowAttributes& attributes) {
    const QuietErrors expected_bad_window(display);
    return XGetWindowAttributes(display, window, &attributes) != 0;
  }

  Display* display = nullptr;
  std::vector<int> opened;
};

std::vector<int> recorded_intervals;
bool refuse_make_current = false;
}  // namespace

// NOTE: Mesa's software GLX accepts every request these tests can make, so the test binary is
// linked with glXMakeCurrent routed through here to see a refusal. It offers no swap control
// either: here it does, and the intervals set are recorded.
extern "C" {
Bool __real_glXMakeCurrent(Display* display, GLXDrawable drawable, GLXContext context);
Bool __wrap_glXMakeCurrent(Display* display, GLXDrawable drawable, GLXContext context) {
  if (refuse_make_current) return False;
  return __real_glXMakeCurrent(display, drawable, context);
}

const char* __real_glXQueryExtensionsString(Display* display, int screen);
const char* __wrap_glXQueryExtensionsString(Display* display, int screen) {
  static std::string offered;
  offered = std::string(__real_glXQueryExtensionsString(display, screen)) + " GLX_SGI_swap_control";
  return offered.c_str();
}

using ProcAddress = void (*)();
ProcAddress __real_glXGetProcAddressARB(const GLubyte* name);
int RecordInterval(int interval) {
  recorded_intervals.push_back(interval);
  return 0;
}
ProcAddress __wrap_glXGetProcAddressARB(const GLubyte* name) {
  if (std::string(reinterpret_cast<const char*>(name)) == "glXSwapIntervalSGI")
    return reinterpret_cast<ProcAddress>(RecordInterval);
  return __real_glXGetProcAddressARB(name);
}
}

TEST_F(GlxContext, TheGamesRequestMakesTheHiddenSharedContextFirst) {
  const int window = Create(800, 600, 0, 60, 2);
  ASSERT_NE(window, 0);
  const int shared = SharedContext();
  ASSERT_NE(shared, 0);
  EXPECT_LT(shared, window) << "the shared context is made before the window";

  const GLContextRecord* hidden = ContextRecord(shared);
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(hidden->width(), 100);
  EXPECT_EQ(hidden->height(), 100);
  EXPECT_EQ(hidden->flags, 0);
  XWindowAttributes attributes{};
  ASSERT_TRUE(Attributes(hidden->window, attributes));
  EXPECT_EQ(attributes.map_state, IsUnmapped);
  EXPECT_EQ(attributes.your_event_mask, StructureNotifyMask | ResizeRedirectMask)
      << "the hidden window gets no input selection";

  const GLContextRecord* record = ContextRecord(window);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->kind, kWindowContext);
  EXPECT_EQ(record->width(), 800);
  EXPECT_EQ(record->height(), 600);
  EXPECT_EQ(record->depth, 24);
  EXPECT_EQ(record->hertz, 60);
  EXPECT_EQ(record->flags, 2);
  EXPECT_EQ(record->sync_state, -1);
  ASSERT_TRUE(Attributes(record->window, attributes));
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_EQ(attributes.width, 800);
  EXPECT_EQ(attributes.height, 600);
  struct Reaching {
    long events;
    const char* for_what;
  };
  for (const Reaching& selected :
       {Reaching{KeyPressMask | KeyReleaseMask, "the keys"},
        {ButtonPressMask | ButtonReleaseMask | PointerMotionMask, "the mouse"},
        {EnterWindowMask | LeaveWindowMask, "the pointer coming and going"},
        {FocusChangeMask | KeymapStateMask, "the focus, and keys let go while it was elsewhere"},
        {StructureNotifyMask, "being minimised and resized"},
        {PropertyChangeMask, "the window manager's full screen"},
        {ResizeRedirectMask, "its fixed size"}})
    EXPECT_EQ(attributes.your_event_mask & selected.events, selected.events) << selected.for_what;

  MakeContextCurrent(window);
  EXPECT_EQ(glXGetCurrentContext(), record->context);
  GLboolean double_buffered = GL_FALSE;
  glGetBooleanv(GL_DOUBLEBUFFER, &double_buffered);
  EXPECT_EQ(double_buffered, GL_TRUE);
  GLint depth_bits = -1;
  glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
  EXPECT_EQ(depth_bits, 0) << "flags 2 ask for no depth buffer";
}

TEST_F(GlxContext, VisibleWindowsAnswerTheCloseButtonAndPings) {
  const int window = Create(320, 240, 0, 0, 2);
  ASSERT_NE(window, 0);
  Atom* protocols = nullptr;
  int count = 0;
  ASSERT_NE(XGetWMProtocols(display, ContextRecord(window)->window, &protocols, &count), 0);
  const std::vector<Atom> registered(protocols, protocols + count);
  XFree(protocols);
  EXPECT_EQ(registered, (std::vector<Atom>{XInternAtom(display, "WM_DELETE_WINDOW", False),
                                           XInternAtom(display, "_NET_WM_PING", False)}));
}

TEST_F(GlxContext, VisualAttributesFollowTheFlagsInOrder) {
  EXPECT_EQ(VisualAttributesForFlags(0), (std::vector<int>{GLX_RGBA, 0}));
  EXPECT_EQ(VisualAttributesForFlags(2), (std::vector<int>{GLX_RGBA, GLX_DOUBLEBUFFER, 0}));
  EXPECT_EQ(VisualAttributesForFlags(2 | 4 | 8 | 16 | 32),
            (std::vector<int>{GLX_RGBA, GLX_DOUBLEBUFFER, GLX_ALPHA_SIZE, 1, GLX_DEPTH_SIZE, 1,
                              GLX_STENCIL_SIZE, 1, GLX_ACCUM_RED_SIZE, 1, GLX_ACCUM_GREEN_SIZE, 1,
                              GLX_ACCUM_BLUE_SIZE, 1, GLX_ACCUM_ALPHA_SIZE, 1, 0}));
}

TEST_F(GlxContext, TexturesMadeInTheSharedContextAreVisibleInTheWindow) {
  const int window = Create(800, 600, 0, 60, 2);
  ASSERT_NE(window, 0);
  MakeContextCurrent(window);
  GLuint texture = 0;
  {
    SharedContextScope scope;
    ASSERT_EQ(CurrentContext(), SharedContext());
    ASSERT_EQ(glXGetCurrentContext(), ContextRecord(SharedContext())->context);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLubyte texel[4] = {10, 20, 30, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glFinish();
  }
  ASSERT_EQ(CurrentContext(), window);
  EXPECT_EQ(glXGetCurrentContext(), ContextRecord(window)->context);
  EXPECT_EQ(glXGetCurrentDrawable(), ContextRecord(window)->window);
  EXPECT_EQ(glIsTexture(texture), GL_TRUE);
  glBindTexture(GL_TEXTURE_2D, texture);
  GLubyte read[4] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read);
  EXPECT_EQ(std::vector<int>(read, read + 4), (std::vector<int>{10, 20, 30, 255}));
  glDeleteTextures(1, &texture);
}

TEST_F(GlxContext, TheSharedScopeRestoresThePreviousContextWhenLeftByAnException) {
  const int window = Create(200, 200, 0, 60, 2);
  ASSERT_NE(window, 0);
  MakeContextCurrent(window);
  EXPECT_THROW(
      {
        SharedContextScope scope;
        EXPECT_EQ(glXGetCurrentContext(), ContextRecord(SharedContext())->context);
        throw std::runtime_error("texture upload failed");
      },
      std::runtime_error);
  EXPECT_EQ(CurrentContext(), window);
  EXPECT_EQ(glXGetCurrentContext(), ContextRecord(window)->context);

  // With nothing current before, nothing is current after.
  ASSERT_TRUE(glXMakeCurrent(display, None, nullptr));
  CloseContextWindow(window);
  ASSERT_EQ(CurrentContext(), 0);
  {
    SharedContextScope scope;
    EXPECT_EQ(glXGetCurrentContext(), ContextRecord(SharedContext())->context);
  }
  EXPECT_EQ(CurrentContext(), 0);
  EXPECT_EQ(glXGetCurrentContext(), nullptr);
}

TEST_F(GlxContext, SwapIntervalIsSetOnTheFirstSwapThenOnlyOnChange) {
  const int window = Create(200, 200, 0, 60, 2);
  ASSERT_NE(window, 0);
  MakeContextCurrent(window);
  recorded_intervals.clear();
  SwapContext(0);
  SwapContext(0);
  SwapContext(1);
  SwapContext(5);
  SwapContext(0);
  EXPECT_EQ(recorded_intervals, (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(ContextRecord(window)->sync_state, 0);

  // Each context keeps its own state: a new one sets its interval on its first swap.
  const int other = Create(200, 200, 0, 60, 2);
  ASSERT_NE(other, 0);
  MakeContextCurrent(other);
  recorded_intervals.clear();
  SwapContext(0);
  EXPECT_EQ(recorded_intervals, std::vector<int>{0});
}

TEST_F(GlxContext, SwapWithoutACurrentContextDoesNothing) {
  recorded_intervals.clear();
  ASSERT_EQ(CurrentContext(), 0);
  SwapContext(1);
  EXPECT_TRUE(recorded_intervals.empty());
}

TEST_F(GlxContext, SelectingAnotherWindowReallySwitchesContexts) {
  const int first = Create(200, 200, 0, 60, 2);
  const int second = Create(300, 300, 0, 60, 2);
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  // Making the second window left its context current; selecting the first must switch back.
  MakeContextCurrent(first);
  EXPECT_EQ(glXGetCurrentContext(), ContextRecord(first)->context);
  MakeContextCurrent(second);
  EXPECT_EQ(glXGetCurrentContext(), ContextRecord(second)->context);
}

TEST_F(GlxContext, ClosingAContextLeavesAnotherCurrentOneAlone) {
  const int kept = Create(200, 200, 0, 60, 2);
  const int closed = Create(200, 200, 0, 60, 2);
  ASSERT_NE(kept, 0);
  ASSERT_NE(closed, 0);
  MakeContextCurrent(kept);
  const unsigned long closed_window = ContextRecord(closed)->window;
  CloseContextWindow(closed);
  EXPECT_EQ(ContextRecord(closed), nullptr);
  EXPECT_EQ(glXGetCurrentContext(), ContextRecord(kept)->context);
  EXPECT_EQ(CurrentContext(), kept);
  XWindowAttributes attributes{};
  EXPECT_FALSE(Attributes(closed_window, attributes)) << "the window is destroyed";

  CloseContextWindow(kept);
  EXPECT_EQ(CurrentContext(), 0);
  EXPECT_EQ(glXGetCurrentContext(), nullptr);
  CloseContextWindow(kept);  // a second close finds nothing
}

TEST_F(GlxContext, AnAttachedWindowGetsItsContextOnSelectionAndOutlivesIt) {
  int attributes_list[] = {GLX_RGBA, GLX_DOUBLEBUFFER, 0};
  XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes_list);
  ASSERT_NE(visual, nullptr);
  const Window root = DefaultRootWindow(display);
  XSetWindowAttributes window_attributes{};
  window_attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
  const Window window = XCreateWindow(display, root, 0, 0, 320, 200, 0, visual->depth, InputOutput,
                                      visual->visual, CWColormap, &window_attributes);
  XFree(visual);
  XMapWindow(display, window);
  XSync(display, False);

  const int attached = AttachContextWindow(window, 2);
  ASSERT_NE(attached, 0);
  EXPECT_EQ(ContextRecord(attached)->kind, kAttachedContext);
  EXPECT_EQ(ContextRecord(attached)->context, nullptr);
  EXPECT_EQ(ContextRecord(attached)->width(), 320);

  MakeContextCurrent(attached);
  ASSERT_NE(ContextRecord(attached)->context, nullptr);
  EXPECT_EQ(glXGetCurrentContext(), ContextRecord(attached)->context);
  ASSERT_NE(InputWindowPicture(), nullptr) << "it takes the input with its picture";
  EXPECT_EQ(*InputWindowPicture(), DescribePictureInWindow(320, 200, 320, 200));

  XResizeWindow(display, window, 400, 250);
  XSync(display, False);
  EXPECT_EQ(ContextRecord(attached)->width(), 400);
  EXPECT_EQ(ContextRecord(attached)->height(), 250);

  CloseContextWindow(attached);
  XWindowAttributes attributes{};
  EXPECT_TRUE(Attributes(window, attributes)) << "closing does not destroy an attached window";
  XDestroyWindow(display, window);
  XFreeColormap(display, window_attributes.colormap);
  XSync(display, False);
}

TEST_F(GlxContext, AServerWithoutVideoModesListsNoneAndRefusesFullScreen) {
  EXPECT_TRUE(ListVideoModes(1024).empty());
  EXPECT_EQ(Create(800, 600, 24, 60, 2), 0);
  EXPECT_FALSE(VideoModeFullScreenActive());
  XSync(display, False);
  EXPECT_EQ(TakeLastXError(), 0) << "nothing asked of an extension the server lacks";
}

TEST_F(GlxContext, ASizeTheServerCannotMakeIsRefusedWithoutWaiting) {
  // Each of these once ended in a window that never mapped and a wait for it that never ended.
  const int sizes[][2] = {{0, 600}, {800, 0}, {-5, 600}, {800, -1}, {70000, 600}};
  for (const auto& size : sizes) {
    EXPECT_EQ(Create(size[0], size[1], 0, 60, 2), 0) << size[0] << " x " << size[1];
  }
  EXPECT_EQ(CurrentContext(), 0) << "nothing was made current";
  // The glue still makes a good window afterwards.
  EXPECT_NE(Create(64, 48, 0, 60, 2), 0);
}

TEST_F(GlxContext, AnErrorRaisedWhileCreatingIsTheFailureTheGameReports) {
  SelectGraphicsDriver(GLGraphicsDriver(), 2);
  refuse_make_current = true;
  EXPECT_EQ(NewGraphics(64, 64, 0, 60, 0), nullptr);
  refuse_make_current = false;
  EXPECT_EQ(DescribeGraphicsFailure(2).rfind("OpenGL could not make the new window's context "
                                             "current (glXMakeCurrent on window ",
                                             0),
            0u)
      << DescribeGraphicsFailure(2);
  EXPECT_NE(NewGraphics(64, 64, 0, 60, 0), nullptr);
  EXPECT_EQ(GraphicsCreationError(), "") << "a creation that succeeds raised nothing";
}

TEST_F(GlxContext, AContextThatCannotBeMadeCurrentRaisesAnErrorSayingWhat) {
  const int kept = Create(64, 64, 0, 60, 2);
  const int refused = Create(64, 64, 0, 60, 2);
  ASSERT_NE(kept, 0);
  ASSERT_NE(refused, 0);
  MakeContextCurrent(kept);
  const unsigned long window = ContextRecord(refused)->window;
  refuse_make_current = true;
  try {
    MakeContextCurrent(refused);
    ADD_FAILURE() << "no error raised";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(std::string(error.what()),
              "OpenGL could not make a window's context current (glXMakeCurrent on window " +
                  std::to_string(window) +
                  " failed): check the OpenGL drivers and the X server's GLX support");
  }
  refuse_make_current = false;
  EXPECT_EQ(CurrentContext(), kept) << "the glue's current context stays the one GLX has";
}

// At a fractional scale each picture pixel is a block of whole window pixels by a fixed rule: a
// window pixel shows the picture pixel under its centre, and one exactly on an edge the left
// column and the lower row, whatever the rasteriser would round to.
TEST_F(GlxContext, AtFractionalScalesEveryWindowPixelShowsThePicturePixelUnderItsCentre) {
  constexpr int kWidth = 80, kHeight = 60;
  std::vector<std::uint8_t> named(kWidth * kHeight * 4, 255);  // red its column, green its row
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      named[(y * kWidth + x) * 4] = static_cast<std::uint8_t>(x);
      named[(y * kWidth + x) * 4 + 1] = static_cast<std::uint8_t>(kHeight - 1 - y);  // bottom up
    }
  for (const double scale : {1.25, 1.5, 1.75}) {
    RequestWindowScale(scale);
    const int handle = Create(kWidth, kHeight, 0, 60, 2);
    RequestWindowScale(0);
    ASSERT_NE(handle, 0);
    MakeContextCurrent(handle);
    const PictureInWindow picture = *TakePictureForFrame();
    const int width = picture.window_width, height = picture.window_height;
    ASSERT_EQ(picture.placed, (PicturePlacement{0, 0, width, height})) << scale;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glRasterPos2i(0, picture.rows_up);
    glDrawPixels(kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, named.data());
    SwapContext(0);
    // NOTE: read from the back buffer, which keeps what the swap showed, not from the screen,
    // where the windows of other tests may stand over this one.
    std::vector<std::uint8_t> shown(static_cast<std::size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, shown.data());
    int wrong = 0;
    for (long long y = 0; y < height; ++y)
      for (long long x = 0; x < width; ++x) {
        const std::uint8_t* pixel = &shown[((height - 1 - y) * width + x) * 4];
        const long long column = ((2 * x + 1) * kWidth - 1) / (2 * width);
        const long long row = (2 * y + 1) * kHeight / (2 * height);
        wrong += pixel[0] != column || pixel[1] != row;
      }
    EXPECT_EQ(wrong, 0) << "window pixels at scale " << scale;
    CloseContextWindow(handle);
  }
}
