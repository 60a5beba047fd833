#include "platform/x11/monitors.h"

#include <X11/extensions/Xrandr.h>

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

MonitorSize MonitorForNewWindow(Display* display, int screen) {
  const Window root = RootWindow(display, screen);
  MonitorSize area{DisplayWidth(display, screen), DisplayHeight(display, screen)};
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
    area = {chosen->width, chosen->height};
  XRRFreeMonitors(monitors);
  return area;
}
