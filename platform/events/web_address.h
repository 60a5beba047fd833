// Web addresses as the system driver's opener receives them.
#pragma once

#include "platform/core/text.h"

// "http:" and "file:" addresses stay as they are; other text naming an existing file becomes
// "file:" + its resolved path + any "#" anchor, anything else "http:" + the text.
String NormaliseWebAddress(const String& address);
