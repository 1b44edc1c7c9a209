// Numbers typed into the slot fields. A numeric text is, after trimming
// blanks, an optional sign, digits and an optional fraction after "." or ","
// ("12", " -3 ", "2,5"); "", "1e3", "0x10" and "12abc" are not. Conversion
// rounds exactly on the decimal digits, halves to the even neighbour.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/error_reporter.h"

namespace velmora {

// True when `text` is numeric as above.
bool IsNumeric(std::string_view text);

// A numeric text rounded to a whole number. The magnitude saturates at
// UINT64_MAX, which is far outside any range asked for.
struct WholeNumber {
  bool numeric = false;
  bool negative = false;
  std::uint64_t magnitude = 0;

  [[nodiscard]] bool IsZero() const { return numeric && magnitude == 0; }
  [[nodiscard]] bool IsNegative() const { return numeric && negative && magnitude != 0; }
};

// Parses and rounds `text`; numeric is false for a text that is not numeric.
WholeNumber RoundNumeric(std::string_view text);

// A converted number, or the failure: type mismatch (13) for a text that is
// not numeric, overflow (6) for a value outside the asked range.
struct IntResult {
  std::int32_t value = 0;
  Error error;
};

// Converts to a signed 32-bit whole number.
IntResult ToInt32(std::string_view text);

// Converts to a signed 16-bit whole number (-32768..32767).
IntResult ToInt16(std::string_view text);

}  // namespace velmora
