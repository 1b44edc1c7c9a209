// How the two question dialogs show a path that may be too long for its
// field: the left or the right end of it, marked with "...".
#pragma once

#include <string>

namespace velmora {

inline constexpr int kPathViewLength = 70;

// Up to 70 characters (code points): the whole path. Longer: the first 70
// characters + "..." (left view) or "..." + the last 70 (right view).
std::string PathView(const std::string& path, bool leftView);

}  // namespace velmora
