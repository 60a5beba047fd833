// Video modes of the video mode extension: refresh rates, matching, switching and restoring.
#include "platform/glx/video_modes.h"

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include <algorithm>

namespace {
constexpr unsigned kInterlacedFlag = 0x10;
constexpr unsigned kDoubleScanFlag = 0x20;

// The mode last matched to a request, kept from the match until the switch to it.
XF86VidModeModeInfo matched_mode{};
bool mode_matched = false;

VideoModeLine LineOf(const XF86VidModeModeInfo& info) {
  return {info.dotclock, info.hdisplay, info.vdisplay, info.htotal, info.vtotal, info.flags};
}

// The server's list, freed when it goes out of scope.
struct ServerModes {
  XF86VidModeModeInfo** modes = nullptr;
  int count = 0;
  ServerModes(Display* display, int screen) {
    if (!XF86VidModeGetAllModeLines(display, screen, &count, &modes)) {
      modes = nullptr;
      count = 0;
    }
  }
  ~ServerModes() {
    if (modes != nullptr) XFree(modes);
  }
  ServerModes(const ServerModes&) = delete;
  ServerModes& operator=(const ServerModes&) = delete;
};
}  // namespace

int ModeRefreshRate(const VideoModeLine& mode) {
  const double pixels_per_frame = static_cast<double>(mode.htotal) * mode.vtotal;
  // NOTE: a server may report a zero total for a mode it cannot time; call its rate 0.
  if (pixels_per_frame <= 0) return 0;
  int rate = static_cast<int>(mode.dot_clock_khz * 1000.0 / pixels_per_frame + 0.5);
  if (mode.flags & kInterlacedFlag) rate *= 2;
  if (mode.flags & kDoubleScanFlag) rate >>= 1;
  return rate;
}

int PickVideoMode(const std::vector<VideoModeLine>& modes, int width, int height, int hertz) {
  int first_of_size = -1;
  for (std::size_t i = 0; i < modes.size(); ++i) {
    if (modes[i].width != width || modes[i].height != height) continue;
    if (ModeRefreshRate(modes[i]) == hertz) return static_cast<int>(i);
    if (first_of_size < 0) first_of_size = static_cast<int>(i);
  }
  return first_of_size;
}

bool VideoModeExtensionPresent(Display* display) {
  int event_base = 0;
  int error_base = 0;
  if (!XF86VidModeQueryExtension(display, &event_base, &error_base)) return false;
  int major = 0;
  int minor = 0;
  XF86VidModeQueryVersion(display, &major, &minor);  // only announces the client to the server
  return true;
}

std::vector<TGraphicsMode> ListVideoModes(Display* display, int screen, std::size_t capacity) {
  std::vector<TGraphicsMode> result;
  const ServerModes server(display, screen);
  const std::size_t count = std::min(static_cast<std::size_t>(server.count), capacity);
  for (std::size_t i = 0; i < count; ++i) {
    const VideoModeLine line = LineOf(*server.modes[i]);
    result.push_back({line.width, line.height, 24, ModeRefreshRate(line)});
  }
  return result;
}

bool MatchVideoMode(Display* display, int screen, int& width, int& height, int hertz,
                    SavedVideoMode& saved) {
  int dot_clock = 0;
  XF86VidModeModeLine current{};
  if (!XF86VidModeGetModeLine(display, screen, &dot_clock, &current)) return false;
  // NOTE: the mode line carries a private block only on ancient servers; it is not needed to
  // switch back, so it is released here rather than kept.
  if (current.privsize > 0 && current.c_private != nullptr) XFree(current.c_private);
  saved = {static_cast<unsigned>(dot_clock),
           current.hdisplay,
           current.hsyncstart,
           current.hsyncend,
           current.htotal,
           current.hskew,
           current.vdisplay,
           current.vsyncstart,
           current.vsyncend,
           current.vtotal,
           current.flags};

  const ServerModes server(display, screen);
  std::vector<VideoModeLine> lines;
  for (int i = 0; i < server.count; ++i) lines.push_back(LineOf(*server.modes[i]));
  const int picked = PickVideoMode(lines, width, height, hertz);
  if (picked < 0) return false;
  matched_mode = *server.modes[picked];
  matched_mode.privsize = 0;
  matched_mode.c_private = nullptr;
  mode_matched = true;
  width = matched_mode.hdisplay;
  height = matched_mode.vdisplay;
  return true;
}

void SwitchToMatchedMode(Display* display, int screen) {
  if (!mode_matched) return;
  XF86VidModeSwitchToMode(display, screen, &matched_mode);
  XF86VidModeSetViewPort(display, screen, 0, 0);
}

void RestoreVideoMode(Display* display, int screen, const SavedVideoMode& saved) {
  XF86VidModeModeInfo mode{saved.dot_clock_khz,
                           static_cast<unsigned short>(saved.hdisplay),
                           static_cast<unsigned short>(saved.hsyncstart),
                           static_cast<unsigned short>(saved.hsyncend),
                           static_cast<unsigned short>(saved.htotal),
                           static_cast<unsigned short>(saved.hskew),
                           static_cast<unsigned short>(saved.vdisplay),
                           static_cast<unsigned short>(saved.vsyncstart),
                           static_cast<unsigned short>(saved.vsyncend),
                           static_cast<unsigned short>(saved.vtotal),
                           saved.flags,
                           0,
                           nullptr};
  XF86VidModeSwitchToMode(display, screen, &mode);
  XF86VidModeSetViewPort(display, screen, 0, 0);
  XFlush(display);
}
