#include "bench/game/proc_stats.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

double CpuMillis(pid_t pid, pid_t thread) {
  std::ifstream stat(thread == 0 ? "/proc/" + std::to_string(pid) + "/stat"
                                 : "/proc/" + std::to_string(pid) + "/task/" +
                                       std::to_string(thread) + "/stat");
  std::string line;
  std::getline(stat, line);
  const auto close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  long long utime = 0;
  long long stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  return (utime + stime) * 1000.0 / sysconf(_SC_CLK_TCK);
}

long StatusKb(pid_t pid, const char* field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  const std::string prefix = std::string(field) + ":";
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  }
  return -1;
}

pid_t FindXServer() {
  const pid_t parent = getppid();
  for (pid_t pid = 2; pid < 4194304; ++pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    if (line.find("(Xvfb)") == std::string::npos) continue;
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string state;
    pid_t ppid = 0;
    fields >> state >> ppid;
    if (ppid == parent) return pid;
  }
  return -1;
}
