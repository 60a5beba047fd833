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
  WaitForPendingWork();
  RaisePendingTermination();
}
