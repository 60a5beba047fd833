// Debug-build guard of the pixmap contract: callers keep every rectangle and position inside the
// pixmaps involved. Release builds trust them and check nothing.
#pragma once

#include <cassert>

#define PIXMAP_CHECK(condition, message) assert((condition) && (message))
