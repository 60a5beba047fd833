#include "platform/x11/linux_system.h"

#include <memory>

#include "platform/x11/linux_system_driver.h"

namespace {
bool started = false;
}  // namespace

void StartLinuxSystemModule() {
  if (started) return;
  started = true;
  StartSystemModule();
  InstallSystemDriver(std::make_unique<TLinuxSystemDriver>());
}
