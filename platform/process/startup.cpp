#include "platform/process/startup.h"

#include <limits.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <utility>

#include "platform/core/runtime_error.h"
#include "platform/process/clock.h"
#include "platform/process/signals.h"

namespace {
String start_dir;
String executable_dir;
String executable_path;
String application_title;
std::string application_instance;
std::string application_class;
std::vector<std::uint32_t> application_icon;
std::vector<String> command_args;
bool application_started = false;

std::string ReadExecutablePath() {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/%i/exe", static_cast<int>(getpid()));
  char buffer[1024];
  const ssize_t length = readlink(link, buffer, sizeof buffer);
  if (length <= 0) return ".";
  // A result that fills the buffer is cut to leave room for the terminator.
  return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), 1023));
}

// NOTE: glibc raises its mmap threshold after each large block freed, so the large blocks of the
// rasteriser's shader compiles end up in the heap and its freed pages stay resident for good. A
// fixed threshold keeps large blocks mapped apart and hands them back when freed; the heap's top
// is trimmed only past a megabyte, so a frame's allocations do not shrink and regrow it
// every frame. A refusal only leaves glibc's defaults: more memory, nothing wrong.
void KeepFreedHeapReturnable() {
  constexpr int kMappedBlockBytes = 128 * 1024;
  constexpr int kKeptHeapTopBytes = 1024 * 1024;
  mallopt(M_MMAP_THRESHOLD, kMappedBlockBytes);
  mallopt(M_TRIM_THRESHOLD, kKeptHeapTopBytes);
}
}  // namespace

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash);
}

void StartRuntime(int argc, char** argv, const std::string& directory, const std::string& path) {
  char cwd[1024];
  std::string working = getcwd(cwd, sizeof cwd) ? cwd : "";
  std::replace(working.begin(), working.end(), '\\', '/');
  start_dir = FromUtf8(working);
  executable_dir = FromUtf8(directory);
  executable_path = FromUtf8(path);
  application_title = u"Ostrandel Application";
  application_instance = path.substr(path.rfind('/') + 1);
  application_class = application_instance;
  application_icon.clear();
  command_args.clear();
  for (int i = 0; i < argc; ++i) command_args.push_back(FromUtf8(argv[i]));
  // Relative file names resolve next to the executable from here on. The root directory is
  // the one place "cut at the last slash" leaves empty.
  if (chdir(directory.empty() ? "/" : directory.c_str()) != 0) {
    // Staying in the start directory is harmless: the program reads no files.
  }
  StartClock();
}

void RunApplication(MainProgram main_program) {
  if (application_started) return;
  application_started = true;
  main_program();
}

int ProcessEntry(int argc, char** argv, MainProgram main_program) {
  try {
    KeepFreedHeapReturnable();
    const std::string path = ReadExecutablePath();
    StartRuntime(argc, argv, DirectoryOf(path), path);
    InstallCrashHandlers();
    RunApplication(main_program);
  } catch (const RuntimeError& error) {
    EndWithUnhandledError(error.what());
  } catch (const std::exception& error) {
    EndWithUnhandledError(error.what());
  }
  BeginExit();
  return 0;
}

void EndProgram() {
  BeginExit();
  std::exit(0);
}

const String& StartDir() {
  return start_dir;
}
const String& ExecutableDir() {
  return executable_dir;
}
const String& ExecutablePath() {
  return executable_path;
}
const String& ApplicationTitle() {
  return application_title;
}
void SetApplicationClass(const std::string& instance, const std::string& class_name) {
  application_instance = instance;
  application_class = class_name;
}
const std::string& ApplicationInstance() {
  return application_instance;
}
const std::string& ApplicationClass() {
  return application_class;
}

void SetApplicationIcon(std::vector<std::uint32_t> icon) {
  application_icon = std::move(icon);
}
const std::vector<std::uint32_t>& ApplicationIcon() {
  return application_icon;
}

const std::vector<String>& CommandArgs() {
  return command_args;
}
