// Numeric helpers with the system's fixed conventions: angles in degrees, conversion of reals to
// integers by truncation toward zero.
#pragma once

double SinDeg(double degrees);
double CosDeg(double degrees);
double TanDeg(double degrees);
double ASinDeg(double x);
double ACosDeg(double x);
double ATanDeg(double x);
double ATan2Deg(double y, double x);  // in (-180, 180]
double SquareRoot(double x);
double AbsReal(double x);
double SignReal(double x);  // 1, -1, or 0 for either zero
int AbsInt(int a);
int MaxInt(int a, int b);
int MinInt(int a, int b);
// Truncates toward zero. Values outside the int range (and NaN) saturate; NaN gives 0.
int TruncToInt(double x);
