// The regular expressions of a walk's slots, compiled at their first use in
// the walk and kept to its end: once per run and per preview pass.
#pragma once

#include <array>
#include <memory>

#include "engine/job.h"
#include "engine/regex_replace.h"

namespace velmora {

inline constexpr int kRegexCode = 19;
inline constexpr int kTransliterateCode = 20;

struct SlotPatterns {
  std::array<std::unique_ptr<RegexReplacer>, kSlotCount> replacers;
  std::array<bool, kSlotCount> made{};
  // A file reached a limit: the slot is off for the rest of the walk.
  std::array<bool, kSlotCount> stopped{};
};

}  // namespace velmora
