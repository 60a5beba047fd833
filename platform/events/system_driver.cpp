// The system module: the current driver, the shared re-entry guard of Poll and Wait, and the
// global functions that forward to the driver.
#include "platform/events/system_driver.h"

#include <memory>
#include <utility>

#include "platform/events/event.h"
#include "platform/events/null_system_driver.h"
#include "platform/events/web_address.h"

namespace {
bool system_module_started = false;
std::unique_ptr<TSystemDriver> driver;
bool pump_running = false;

// Clears the guard however the pump is left (a hook may raise a runtime error).
class PumpGuard {
 public:
  PumpGuard() : entered_(!pump_running) { pump_running = true; }
  ~PumpGuard() {
    if (entered_) pump_running = false;
  }
  bool Entered() const { return entered_; }

 private:
  bool entered_;
};
}  // namespace

void StartSystemModule() {
  if (system_module_started) return;
  system_module_started = true;
  StartEventModule();
}

void InstallSystemDriver(std::unique_ptr<TSystemDriver> new_driver) {
  driver = std::move(new_driver);
}

TSystemDriver& SystemDriver() {
  StartSystemModule();
  if (!driver) driver = std::make_unique<TNullSystemDriver>();
  return *driver;
}

void PollSystemEvents() {
  TSystemDriver& system = SystemDriver();
  PumpGuard guard;
  if (guard.Entered()) system.Poll();
}

void WaitSystemEvents() {
  TSystemDriver& system = SystemDriver();
  PumpGuard guard;
  if (guard.Entered()) system.Wait();
}

bool WaitWhileWindowHidden() {
  TSystemDriver& system = SystemDriver();
  PumpGuard guard;
  return guard.Entered() && system.WaitWhileHidden();
}

bool PlaceMouse(int x, int y) {
  return SystemDriver().MoveMouse(x, y);
}

bool ToggleFullScreenWindow() {
  return SystemDriver().ToggleFullScreen();
}

void ShowMousePointer() {
  SystemDriver().SetMouseVisible(true);
}

void HideMousePointer() {
  SystemDriver().SetMouseVisible(false);
}

void Notify(const String& text, bool serious) {
  SystemDriver().Notify(text, serious);
}

int Confirm(const String& text, bool serious) {
  return SystemDriver().Confirm(text, serious);
}

int Proceed(const String& text, bool serious) {
  return SystemDriver().Proceed(text, serious);
}

String RequestFile(const String& title, const String& filter, bool save,
                   const String& initial_path) {
  return SystemDriver().RequestFile(title, filter, save, initial_path);
}

String RequestDir(const String& title, const String& initial_path) {
  return SystemDriver().RequestDir(title, initial_path);
}

int OpenURL(const String& url) {
  return SystemDriver().OpenURL(NormaliseWebAddress(url));
}
