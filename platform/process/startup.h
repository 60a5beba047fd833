// The life of the process: entry, runtime set-up (paths, title, arguments, working directory,
// clock), once-only application start and the ways the program ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/text.h"

using MainProgram = void (*)();

// The process entry: records the executable's path, sets up the runtime, installs the signal
// handlers and runs `main_program` once. An unhandled runtime error ends the process with 255.
int ProcessEntry(int argc, char** argv, MainProgram main_program);

void StartRuntime(int argc, char** argv, const std::string& directory, const std::string& path);

// Runs the runtime core's start and then the main program; a second call does nothing.
void RunApplication(MainProgram main_program);

[[noreturn]] void EndProgram();

const String& StartDir();
const String& ExecutableDir();
const String& ExecutablePath();
const String& ApplicationTitle();
// What desktops know the program's windows by (WM_CLASS): an instance name and the class that a
// launcher's StartupWMClass names. Until set, both are the executable's file name.
void SetApplicationClass(const std::string& instance, const std::string& class_name);
const std::string& ApplicationInstance();
const std::string& ApplicationClass();
// The windows' icon as _NET_WM_ICON holds it: for each size its width, its height and its pixels
// row by row as 0xAARRGGBB, not premultiplied. Empty until set: the desktop's own icon.
void SetApplicationIcon(std::vector<std::uint32_t> icon);
const std::vector<std::uint32_t>& ApplicationIcon();
const std::vector<String>& CommandArgs();

// Splits a path at its last "/": the directory without the "/", or "." when there is none.
std::string DirectoryOf(const std::string& path);
