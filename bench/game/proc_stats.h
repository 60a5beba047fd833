// What the whole-game benchmark reads about a process from /proc.
#pragma once

#include <sys/types.h>

// User plus system CPU time of a process (all its threads) in milliseconds; with `thread`, of
// that one thread only.
double CpuMillis(pid_t pid, pid_t thread = 0);
// A field of /proc/<pid>/status in kB, such as "VmRSS" or "VmHWM"; -1 if it cannot be read.
long StatusKb(pid_t pid, const char* field);
// The X server this benchmark talks to: the Xvfb started by the same parent (with-xvfb.sh).
pid_t FindXServer();
