// Rounding of amounts to a number of decimals (library-internal): the rule
// of RoundTo, written so that the compute code's hot paths round to cents
// inline and without a library call.
#pragma once

#include <cmath>
#include <cstdint>

namespace ledrix::detail {

/// Added to every amount before it is rounded; it stays in the value.
constexpr double kRoundingNudge = 1e-10;
/// A positive fraction from this on rounds up.
constexpr double kRoundUpFraction = 0.499999999;

/// The whole part of `x` toward zero, with the sign of `x`, as modf gives
/// it: -0.0 for -0.25, and `x` itself from 2^52 on (every such double is
/// whole), for the infinities and for NaN.
inline double WholePart(double x) {
  constexpr double kEveryDoubleWhole = 4503599627370496.0;  // 2^52
  if (!(std::fabs(x) < kEveryDoubleWhole)) return x;
  return std::copysign(static_cast<double>(static_cast<std::int64_t>(x)), x);
}

/// RoundTo with `scale` = 10 to the number of decimals. The fraction is
/// exact (the whole part and the scaled value share sign and binade); for an
/// infinite scaled value it is NaN where modf gives 0, and neither rounds.
inline bool RoundScaled(double& value, double scale) {
  value += kRoundingNudge;  // stays in the value whatever its sign
  const double scaled = value * scale;
  double whole = WholePart(scaled);
  const double fraction = scaled - whole;
  const bool negative = value < 0.0;
  // Positive halves round up (within 1e-9); negative ones away from zero
  // only at a full -0.5.
  if (negative && fraction <= -0.5) whole -= 1.0;
  if (!negative && fraction >= kRoundUpFraction) whole += 1.0;
  value = whole / scale;
  return negative;
}

/// `value` rounded to cents.
inline double Cents(double value) {
  RoundScaled(value, 100.0);
  return value;
}

}  // namespace ledrix::detail
