// Work the event pump runs on the main thread: the handler of a pending alarm signal and the
// completions that any thread may post.
#pragma once

#include "platform/core/object.h"

using PendingSignalHandler = void (*)(int signal_number);
using CompletionCallback = void (*)(const ObjectRef& object, int result);

// The handler run when the pump finds `signal_number` pending; nullptr removes it. While a
// handler for SIGALRM is registered the 1 ms interval timer runs.
void SetPendingSignalHandler(int signal_number, PendingSignalHandler handler);

// Queues a completion; safe from any thread. The entry's reference to the object goes once the
// callback has run.
void PostCompletion(CompletionCallback callback, ObjectRef object, int result);

// Runs the handler for `signal_number` (0: none pending), then every posted completion in posting
// order.
void RunPendingWork(int signal_number);

// Sleeps about a millisecond, less when a signal arrives: the bounded sleep of the system
// drivers' Wait, which needs no timer to end it.
void SleepBriefly();

// The idle part of every system driver's Wait: unless a signal is already pending, sleeps
// briefly; then runs the pending work.
void WaitForPendingWork();
