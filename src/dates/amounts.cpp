#include "ledrix/amounts.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "dates/rounding.h"

namespace ledrix {

namespace {

constexpr double kLargestAmount = 999999999999.0;
constexpr double kNegativeThreshold = -0.009;
constexpr std::size_t kSeparatedTextLimit = 50;
constexpr std::size_t kMoneyTextBytes = 20;  // "-999,999,999,999.00" and a NUL

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool RoundTo(double& value, std::uint16_t decimals) {
  double scale = 1.0;
  for (int i = 0; i < decimals; ++i) scale *= 10.0;
  return detail::RoundScaled(value, scale);
}

void FormatAmount(char* buffer, double value) {
  const double magnitude = std::fabs(value);
  if (!(magnitude <= kLargestAmount)) {
    buffer[0] = '\0';
    return;
  }
  char digits[kMoneyTextBytes];
  std::snprintf(digits, sizeof digits, "%0.2lf", magnitude);
  InsertThousandsSeparators(digits);
  // Below one cent in magnitude the text carries no sign.
  char* out = buffer;
  if (value < kNegativeThreshold) *out++ = '-';
  std::strcpy(out, digits);
}

void FormatAmountRight(char* buffer, double value, int width) {
  FormatAmount(buffer, value);
  RightJustify(buffer, width);
}

void AmountToString(std::string& out, double value) {
  char text[kMoneyTextBytes];
  FormatAmount(text, value);
  out = text;
}

void InsertThousandsSeparators(char* text) {
  const std::size_t length = std::strlen(text);
  if (length < 4 || length > kSeparatedTextLimit) return;
  const char* point = std::strrchr(text, '.');
  const std::size_t wholeEnd = point ? static_cast<std::size_t>(point - text) : length;
  // Built from the right: the decimals as they are, then the whole part
  // with a comma before every third digit that has a digit to its left.
  char reversed[2 * kSeparatedTextLimit];
  std::size_t out = 0;
  for (std::size_t i = length; i > wholeEnd; --i) reversed[out++] = text[i - 1];
  int digitsInGroup = 0;
  for (std::size_t i = wholeEnd; i > 0; --i) {
    const char c = text[i - 1];
    if (IsDigit(c) && digitsInGroup == 3) {
      reversed[out++] = ',';
      digitsInGroup = 0;
    }
    if (IsDigit(c)) ++digitsInGroup;
    reversed[out++] = c;
  }
  for (std::size_t i = 0; i < out; ++i) text[i] = reversed[out - 1 - i];
  text[out] = '\0';
}

void RightJustify(char* text, int width) {
  std::size_t length = std::strlen(text);
  if (width > 0 && length < static_cast<std::size_t>(width)) {
    const std::size_t pad = static_cast<std::size_t>(width) - length;
    std::memmove(text + pad, text, length + 1);
    std::memset(text, ' ', pad);
    length += pad;
  }
  // A label ending in ')' sits one place further right, so "6651(a)(1)"
  // lines up with amounts that end in a digit.
  if (length > 0 && text[length - 1] == ')') {
    std::memmove(text + 1, text, length + 1);
    text[0] = ' ';
  }
}

int TrimRight(char* text) {
  int last = static_cast<int>(std::strlen(text)) - 1;
  while (last >= 0 && text[last] == ' ') text[last--] = '\0';
  return last;
}

}  // namespace ledrix
