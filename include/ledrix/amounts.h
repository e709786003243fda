// Money: rounding to cents and money text.
//
// Every amount is a double in dollars. An amount counts as present when its
// magnitude is 0.009 or more; code tests against 0.009, never against zero.
//
//   double v = 2.345;  RoundTo(v, 2);   // 2.35
//   double w = -2.345; RoundTo(w, 2);   // -2.34: negative halves round away
//                                       //  from zero only at a full -0.5
//   FormatAmount(buf, 1234567.891);     // "1,234,567.89"
//   FormatAmount(buf, -0.004);          // "0.00" (no sign under 0.009)
#pragma once

#include <cstdint>
#include <string>

#include "ledrix/export.h"

namespace ledrix {

/// Rounds `value` in place to `decimals` places: adds a 1e-10 nudge, splits
/// the scaled value into its whole part toward zero and its fraction (as
/// modf does), and rounds a positive fraction of 0.499999999 or more up and a
/// negative one of -0.5 or less down. Returns true when the nudged value was
/// negative.
LEDRIX_API bool RoundTo(double& value, std::uint16_t decimals);

/// `value` rounded to cents by RoundTo.
inline double Cents(double value) {
  RoundTo(value, 2);
  return value;
}

/// Money text: "%0.2lf" of the magnitude with thousands separators and a
/// leading '-' when the value is below -0.009; the empty text above
/// 999,999,999,999.00. The buffer needs 20 bytes.
LEDRIX_API void FormatAmount(char* buffer, double value);
/// FormatAmount, then RightJustify in `width`.
LEDRIX_API void FormatAmountRight(char* buffer, double value, int width);
/// Money text into a string; the empty string above 999,999,999,999.0.
LEDRIX_API void AmountToString(std::string& out, double value);
/// Commas every third digit left of the point; texts shorter than 4 or
/// longer than 50 characters are left alone.
LEDRIX_API void InsertThousandsSeparators(char* text);
/// Pads on the left to `width`; a text ending in ')' moves one place
/// further right so labels such as "6651(a)(1)" line up with amounts.
LEDRIX_API void RightJustify(char* text, int width);
/// Removes trailing blanks; returns the index of the last character kept
/// (-1 when nothing is left).
LEDRIX_API int TrimRight(char* text);

/// Amount present: magnitude of 0.009 or more.
inline bool IsPresent(double amount) {
  return amount >= 0.009 || amount <= -0.009;
}

}  // namespace ledrix
