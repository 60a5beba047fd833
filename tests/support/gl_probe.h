// What a test needs to know of GLX without pulling the X headers (and their macros) in.
#pragma once

// The GLX context current on this thread, or null.
const void* CurrentGLContext();
