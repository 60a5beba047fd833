#include "platform/x11/monitors.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <vector>

#include "platform/x11/window_manager_hints.h"

namespace {
bool RandrListsMonitors(Display* display) {
  int event_base = 0;
  int error_base = 0;
  int major = 0;
  int minor = 0;
  return XRRQueryExtension(display, &event_base, &error_base) &&
         XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 5));
}

bool Contains(const XRRMonitorInfo& monitor, int x, int y) {
  return x >= monitor.x && y >= monitor.y && x < monitor.x + monitor.width &&
         y < monitor.y + monitor.height;
}
}  // namespace

ScreenArea MonitorForNewWindow(Display* display, int screen) {
  const Window root = RootWindow(display, screen);
  ScreenArea area{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
  if (!RandrListsMonitors(display)) return area;
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
  if (monitors == nullptr) return area;
  Window pointer_root = 0, child = 0;
  int x = -1, y = -1, window_x = 0, window_y = 0;
  unsigned buttons = 0;
  const bool on_screen =
      XQueryPointer(display, root, &pointer_root, &child, &x, &y, &window_x, &window_y, &buttons);
  const XRRMonitorInfo* chosen = nullptr;
  for (int i = 0; i < count && chosen == nullptr; ++i)
    if (on_screen && Contains(monitors[i], x, y)) chosen = &monitors[i];
  for (int i = 0; i < count && chosen == nullptr; ++i)
    if (monitors[i].primary) chosen = &monitors[i];
  if (chosen == nullptr && count > 0) chosen = &monitors[0];
  if (chosen != nullptr && chosen->width > 0 && chosen->height > 0)
    area = {chosen->x, chosen->y, chosen->width, chosen->height};
  XRRFreeMonitors(monitors);
  return area;
}

ScreenArea WorkAreaForNewWindow(Display* display, int screen) {
  const ScreenArea monitor = MonitorForNewWindow(display, screen);
  const Window root = RootWindow(display, screen);
  const std::vector<long> desktop =
      LongProperty(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
  const std::vector<long> areas = LongProperty(display, root, "_NET_WORKAREA", XA_CARDINAL);
  const bool named = desktop.size() == 1 && desktop[0] >= 0 && desktop[0] < 1024;
  const std::size_t first = 4 * static_cast<std::size_t>(named ? desktop[0] : 0);
  if (areas.size() < first + 4) return monitor;
  const long* work = &areas[first];
  const long left = std::max<long>(monitor.x, work[0]);
  const long top = std::max<long>(monitor.y, work[1]);
  const long right = std::min<long>(monitor.x + monitor.width, work[0] + work[2]);
  const long bottom = std::min<long>(monitor.y + monitor.height, work[1] + work[3]);
  if (right <= left || bottom <= top) return monitor;  // a work area on another monitor
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}
