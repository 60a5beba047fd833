// Process signals: the alarm records its number for the event pump, SIGTERM becomes a runtime
// error on the main thread, and crash signals report and end the process from the handler.
#pragma once

// Ignores SIGPIPE; installs the SIGTERM flag handler and the crash reporters for SIGBUS, SIGSEGV
// and SIGTRAP (on an alternate stack, so a stack overflow still reports).
void InstallCrashHandlers();

// Installs (once) the SIGALRM handler that stores its number in the pending-signal word.
void InstallAlarmHandler();

// sigaction with an empty mask; a failure raises "sigaction for signal <n> failed: <reason>".
void InstallSignalHandler(int signal_number, void (*handler)(int), int flags);

// Reads and clears the pending-signal word: 0 when no alarm arrived since the last call.
int TakePendingSignal();

// Raises "appstub.linux signal handler 15" as a TerminationRequest if SIGTERM arrived; called
// wherever the main thread waits or polls, so a terminated program still runs its exit handlers.
void RaisePendingTermination();

// The text reported for signal number n.
const char* SignalErrorText(int signal_number, char (&buffer)[64]);
