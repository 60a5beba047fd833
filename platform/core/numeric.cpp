#include "platform/core/numeric.h"

#include <cmath>
#include <limits>

namespace {
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;
}  // namespace

double SinDeg(double degrees) {
  return std::sin(degrees * kRadiansPerDegree);
}
double CosDeg(double degrees) {
  return std::cos(degrees * kRadiansPerDegree);
}
double TanDeg(double degrees) {
  return std::tan(degrees * kRadiansPerDegree);
}
double ASinDeg(double x) {
  return std::asin(x) * kDegreesPerRadian;
}
double ACosDeg(double x) {
  return std::acos(x) * kDegreesPerRadian;
}
double ATanDeg(double x) {
  return std::atan(x) * kDegreesPerRadian;
}
double ATan2Deg(double y, double x) {
  return std::atan2(y, x) * kDegreesPerRadian;
}
double SquareRoot(double x) {
  return std::sqrt(x);
}
double AbsReal(double x) {
  return std::fabs(x);
}

double SignReal(double x) {
  if (x > 0) return 1;
  if (x < 0) return -1;
  return 0;
}

int AbsInt(int a) {
  // NOTE: negated in unsigned arithmetic: the most negative int has no positive partner and stays
  // itself, where a plain -a would be undefined.
  return a < 0 ? static_cast<int>(0u - static_cast<unsigned>(a)) : a;
}
int MaxInt(int a, int b) {
  return b >= a ? b : a;
}
int MinInt(int a, int b) {
  return b <= a ? b : a;
}

int TruncToInt(double x) {
  // NOTE: a plain cast of an out-of-range double is undefined behaviour, so clamp first.
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(x);
}
