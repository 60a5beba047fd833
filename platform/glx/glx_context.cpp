// The GLX glue: the records behind the handles, the hidden shared context, making contexts
// current, swapping, and freeing every record when the X connection closes.
#include "platform/glx/glx_context.h"

#include <GL/glx.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "platform/core/runtime_error.h"
#include "platform/events/system_driver.h"
#include "platform/glx/shared_context_scope.h"
#include "platform/glx/video_modes.h"
#include "platform/glx/window_scale.h"
#include "platform/x11/input_window.h"
#include "platform/x11/x_display.h"

namespace {
constexpr int kHiddenSize = 100;
constexpr int kLargestWindowSide = 65535;

// NOTE: plain values that outlive the map: texture frames destroyed with the program's statics
// ask `shared` and `display` before touching the records.
Display* display = nullptr;  // borrowed from x_display; null before the start and after closing
int screen = 0;
bool video_modes_present = false;
using SwapIntervalEntry = int (*)(int interval);
SwapIntervalEntry swap_interval = nullptr;  // null when the server offers no swap control
int next_handle = 1;
int current = 0;
int shared = 0;

std::map<int, std::unique_ptr<GLContextRecord>> records;
std::string last_failure;

// The connection for X and GLX calls; null once it is lost or closed.
Display* LiveDisplay() {
  return XDisplayLost() ? nullptr : display;
}

GLContextRecord* Find(int handle) {
  const auto found = records.find(handle);
  return found == records.end() ? nullptr : found->second.get();
}

// Runs as the connection closes: every window's record first, then the shared one they share
// with. Each record's destructor frees what it holds.
void FreeAllRecords() {
  std::unique_ptr<GLContextRecord> shared_record;
  if (const auto found = records.find(shared); found != records.end()) {
    shared_record = std::move(found->second);
  }
  records.clear();
  shared_record.reset();
  current = 0;
  shared = 0;
  display = nullptr;
}

bool StartGlue() {
  if (display != nullptr) return LiveDisplay() != nullptr;
  Display* connection = OpenXDisplay();
  if (connection == nullptr) return false;
  int major = 0;
  int minor = 0;
  if (!glXQueryVersion(connection, &major, &minor)) return false;
  display = connection;
  video_modes_present = VideoModeExtensionPresent(display);
  screen = DefaultScreen(display);
  const char* extensions = glXQueryExtensionsString(display, screen);
  if (extensions != nullptr && std::strstr(extensions, "GLX_SGI_swap_control") != nullptr) {
    swap_interval = reinterpret_cast<SwapIntervalEntry>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalSGI")));
  }
  AtXDisplayClose(FreeAllRecords);
  return true;
}

int Keep(std::unique_ptr<GLContextRecord> record) {
  const int handle = next_handle++;
  records.emplace(handle, std::move(record));
  return handle;
}

void RefreshAttachedSize(GLContextRecord& record) {
  if (record.kind != kAttachedContext || !StartGlue()) return;
  Window root = 0;
  int x = 0;
  int y = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depth = 0;
  // The program draws into an attached window at its own size: picture and window are one.
  if (XGetGeometry(display, record.window, &root, &x, &y, &width, &height, &border, &depth)) {
    *record.picture = DescribePictureInWindow(static_cast<int>(width), static_cast<int>(height),
                                              static_cast<int>(width), static_cast<int>(height));
  }
}

bool MakeAttachedContext(GLContextRecord& record) {
  if (record.context != nullptr) return true;
  if (!StartGlue()) return false;
  const GLContextRecord* shared_record = Find(SharedContext());
  std::vector<int> attributes = VisualAttributesForFlags(record.flags);
  XVisualInfo* visual = glXChooseVisual(display, screen, attributes.data());
  if (visual == nullptr) return false;
  record.context =
      glXCreateContext(display, visual, shared_record ? shared_record->context : nullptr, True);
  XFree(visual);
  if (record.context == nullptr) return false;
  MakeCurrentOrRaise(display, record.window, record.context, "the attached window's context");
  SetInputWindow(record.window, record.picture);
  return true;
}

// NOTE: X carries window sizes in 16 bits and refuses 0; one it cannot carry would be cut.
bool SizeFitsX(int width, int height) {
  return width > 0 && height > 0 && width <= kLargestWindowSide && height <= kLargestWindowSide;
}

GLXContext SharedGLXContext() {
  const GLContextRecord* shared_record = Find(SharedContext());
  return shared_record != nullptr ? shared_record->context : nullptr;
}
}  // namespace

int SharedContext() {
  if (shared == 0) shared = CreateContextWindow(0, 0, 0, 0, 0);
  return shared;
}

int CreateContextWindow(int width, int height, int depth, int hertz, int flags) {
  last_failure.clear();
  if (!StartGlue()) return 0;
  WindowRequest request{width, height, hertz, flags, depth != 0, width == 0 && height == 0};
  if (request.hidden) request.width = request.height = kHiddenSize;
  if (!SizeFitsX(request.width, request.height)) {
    last_failure = "X cannot carry a window of that size";
    return 0;
  }
  if (!request.hidden) request.share_with = SharedGLXContext();
  if (!request.hidden && !request.video_mode_full_screen) {
    const double scale = WindowScale(display, screen, request.width, request.height);
    const PictureSize window = WindowSizeFor(request.width, request.height, scale);
    request.window_width = window.width;
    request.window_height = window.height;
    request.desktop_full_screen = FullScreenAtStartRequested();
  }
  request.video_modes_present = video_modes_present;
  // Showing a window makes its context current, and a failure after that leaves none current: the
  // glue stops counting on the one current before.
  if (!request.hidden) current = 0;
  std::string failure;
  std::unique_ptr<GLContextRecord> record = CreateWindowRecord(display, screen, request, failure);
  if (!record) {
    last_failure = failure;
    return 0;
  }
  const int handle = Keep(std::move(record));
  // Showing made the new context current in GLX; the glue's notion of "current" follows, so a
  // later selection of another context really switches.
  if (!request.hidden) current = handle;
  PollSystemEvents();
  return handle;
}

const std::string& LastContextWindowFailure() {
  return last_failure;
}

int AttachContextWindow(unsigned long window, int flags) {
  // The record frees the context it makes later on the connection it is given here.
  StartGlue();
  auto record = std::make_unique<GLContextRecord>(display, screen, kAttachedContext);
  record->window = window;
  record->flags = flags;
  return Keep(std::move(record));
}

void MakeContextCurrent(int handle) {
  GLContextRecord* record = Find(handle);
  if (record == nullptr) return;
  if (record->kind == kAttachedContext) {
    RefreshAttachedSize(*record);
    if (!MakeAttachedContext(*record)) return;
  }
  if (handle != current && LiveDisplay() != nullptr) {
    MakeCurrentOrRaise(display, record->window, record->context, "a window's context");
    current = handle;
  }
}

void SwapContext(int sync) {
  GLContextRecord* record = Find(current);
  if (record == nullptr || LiveDisplay() == nullptr) return;
  const int interval = sync != 0 ? 1 : 0;
  if (interval != record->sync_state) {
    record->sync_state = interval;
    if (swap_interval != nullptr) swap_interval(interval);
  }
  if (record->frame_picture.NeedsEnlarging())
    PresentPicture(record->present_texture, record->frame_picture);
  glXSwapBuffers(display, record->window);
}

void CloseContextWindow(int handle) {
  const auto found = records.find(handle);
  if (found == records.end()) return;
  if (current == handle) current = 0;
  if (shared == handle) shared = 0;
  records.erase(found);
}

const PictureInWindow* TakePictureForFrame() {
  GLContextRecord* record = Find(current);
  if (record == nullptr) return nullptr;
  record->frame_picture = *record->picture;
  return &record->frame_picture;
}

const GLContextRecord* ContextRecord(int handle) {
  GLContextRecord* record = Find(handle);
  if (record != nullptr) RefreshAttachedSize(*record);
  return record;
}

int CurrentContext() {
  return current;
}

bool VideoModeFullScreenActive() {
  if (display == nullptr) return false;
  for (const auto& [handle, record] : records) {
    if (record->kind == kVideoModeFullScreenContext) return true;
  }
  return false;
}

std::vector<TGraphicsMode> ListVideoModes(std::size_t capacity) {
  if (!StartGlue() || !video_modes_present) return {};
  return ListVideoModes(display, screen, capacity);
}

bool GLContextIsCurrent() {
  return display != nullptr && LiveDisplay() != nullptr && glXGetCurrentContext() != nullptr;
}

SharedContextScope::SharedContextScope() {
  if (display == nullptr || LiveDisplay() == nullptr || VideoModeFullScreenActive()) return;
  const int target = SharedContext();
  if (target == 0 || target == current) return;
  previous_handle_ = current;
  previous_context_ = glXGetCurrentContext();
  previous_drawable_ = glXGetCurrentDrawable();
  const GLContextRecord& record = *Find(target);
  MakeCurrentOrRaise(display, record.window, record.context, "the hidden shared context");
  current = target;
  switched_ = true;
}

SharedContextScope::~SharedContextScope() {
  if (!switched_ || LiveDisplay() == nullptr) return;
  // The context current before may have been closed inside the scope: then none is current.
  const bool previous_open = Find(previous_handle_) != nullptr || previous_handle_ == 0;
  GLXContext context = previous_open ? static_cast<GLXContext>(previous_context_) : nullptr;
  const GLXDrawable drawable = previous_open ? previous_drawable_ : None;
  current = previous_open ? previous_handle_ : 0;
  if (!glXMakeCurrent(display, drawable, context)) {
    // NOTE: a destructor cannot raise; the failure is told and the next selection tries again.
    std::fputs(
        "OpenGL could not make the previous context current again after the shared one "
        "(glXMakeCurrent failed): check the OpenGL drivers\n",
        stderr);
    current = 0;
  }
}
