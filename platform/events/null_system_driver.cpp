#include "platform/events/null_system_driver.h"

#include <unistd.h>

#include "platform/process/pending_work.h"
#include "platform/process/signals.h"

void TNullSystemDriver::Poll() {
  RaisePendingTermination();
  RunPendingWork(TakePendingSignal());
  RaisePendingTermination();
}

void TNullSystemDriver::Wait() {
  RaisePendingTermination();
  int pending = TakePendingSignal();
  if (pending == 0) {
    // The 1 ms interval timer's signal ends this sleep almost at once.
    sleep(1);
    pending = TakePendingSignal();
  }
  RunPendingWork(pending);
  RaisePendingTermination();
}
