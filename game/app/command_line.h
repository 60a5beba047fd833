// The options of the command line that need reading beyond their name.
#pragma once

// The scale after --scale: 0 when it is not a decimal number (digits with at most one decimal
// point, read the same in every locale) from 1 to 4, -1 without --scale.
double ParseScale(int argc, const char* const* argv);
