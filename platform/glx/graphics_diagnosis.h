// Why the game window could not be opened, told so that the player knows what to check: asked
// after opening graphics has failed, it probes the display step by step.
#pragma once

#include <string>

// One sentence naming the first step that fails: no X display reachable, no OpenGL through GLX
// on it, no double-buffered RGBA visual for the given graphics flags, or else the step of the
// window's creation that failed, with the X error the server answered (e.g. "the X server refused
// the window: BadAlloc (insufficient resources for operation) in X_CreateWindow").
std::string DescribeGraphicsFailure(int flags);
