// The game's deterministic random generator: one global state, multiplier 48271 modulo 2^31 - 1,
// starting at 4660 on every run. Texts reseed it to draw the same colours every frame.
#pragma once

double RandomUnit();                    // [0, 1), two steps of the generator
double RandomReal(double a, double b);  // between the bounds, either order
int RandomInt(int a, int b);            // both bounds included, either order
float RandomFloatStep();                // one step, (state & 0xFFFFFF0) / 2^28
void SetRandomSeed(int seed);
int GetRandomSeed();
