// Key codes from X keysyms: three function keysyms are recognised whole, every other keysym by its
// low byte through one table, so a code always lies in 0-255.
#pragma once

// Takes a KeySym value (the unshifted keysym of a key event).
int TranslateKeysym(unsigned long keysym);
