#include "engine/numeric.h"

#include <limits>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

constexpr std::uint64_t kSaturated = std::numeric_limits<std::uint64_t>::max();

// Adds one decimal digit to a saturating magnitude.
std::uint64_t PushDigit(std::uint64_t value, char digit) {
  const std::uint64_t d = static_cast<std::uint64_t>(digit - '0');
  if (value > (kSaturated - d) / 10) return kSaturated;
  return value * 10 + d;
}

IntResult ToRange(std::string_view text, std::int64_t low, std::int64_t high) {
  const WholeNumber number = RoundNumeric(text);
  if (!number.numeric) return {0, TypeMismatchError()};
  const std::uint64_t limit =
      number.negative ? static_cast<std::uint64_t>(-low) : static_cast<std::uint64_t>(high);
  if (number.magnitude > limit) return {0, OverflowError()};
  const std::int64_t value = number.negative ? -static_cast<std::int64_t>(number.magnitude)
                                             : static_cast<std::int64_t>(number.magnitude);
  return {static_cast<std::int32_t>(value), {}};
}

}  // namespace

WholeNumber RoundNumeric(std::string_view text) {
  WholeNumber result;
  text = TrimBlanks(text);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    result.negative = text[i] == '-';
    ++i;
  }
  const std::size_t digitsStart = i;
  std::uint64_t magnitude = 0;
  while (i < text.size() && IsDigit(text[i])) magnitude = PushDigit(magnitude, text[i++]);
  if (i == digitsStart) return {};

  // Fraction: the first digit decides, later digits only break a tie.
  int firstFraction = 0;
  bool restNonZero = false;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    ++i;
    const std::size_t fractionStart = i;
    while (i < text.size() && IsDigit(text[i])) {
      if (i == fractionStart) {
        firstFraction = text[i] - '0';
      } else if (text[i] != '0') {
        restNonZero = true;
      }
      ++i;
    }
    if (i == fractionStart) return {};
  }
  if (i != text.size()) return {};

  const bool roundUp = firstFraction > 5 || (firstFraction == 5 && restNonZero) ||
                       (firstFraction == 5 && !restNonZero && magnitude % 2 == 1);
  if (roundUp && magnitude != kSaturated) ++magnitude;
  result.numeric = true;
  result.magnitude = magnitude;
  return result;
}

bool IsNumeric(std::string_view text) { return RoundNumeric(text).numeric; }

IntResult ToInt32(std::string_view text) {
  return ToRange(text, std::numeric_limits<std::int32_t>::min(),
                 std::numeric_limits<std::int32_t>::max());
}

IntResult ToInt16(std::string_view text) {
  return ToRange(text, std::numeric_limits<std::int16_t>::min(),
                 std::numeric_limits<std::int16_t>::max());
}

}  // namespace velmora
