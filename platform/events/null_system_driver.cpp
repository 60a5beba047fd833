#include "platform/events/null_system_driver.h"

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
    SleepBriefly();
    pending = TakePendingSignal();
  }
  RunPendingWork(pending);
  RaisePendingTermination();
}
