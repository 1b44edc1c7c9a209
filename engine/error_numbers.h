// The error numbers the engine raises itself, with the platform-like English
// descriptions that go with them into the error report.
#pragma once

#include "engine/error_reporter.h"

namespace velmora {

inline constexpr int kErrInvalidArgument = 5;
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrTypeMismatch = 13;
inline constexpr int kErrBadFileName = 52;

// Invalid procedure call or argument (5).
inline Error InvalidArgumentError() {
  return {kErrInvalidArgument, "Invalid procedure call or argument"};
}

// Overflow (6).
inline Error OverflowError() { return {kErrOverflow, "Overflow"}; }

// Bad file name or number (52).
inline Error BadFileNameError() { return {kErrBadFileName, "Bad file name or number"}; }

// Type mismatch (13).
inline Error TypeMismatchError() { return {kErrTypeMismatch, "Type mismatch"}; }

}  // namespace velmora
