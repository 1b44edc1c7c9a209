#include "engine/path_view.h"

#include "engine/text.h"

namespace velmora {

std::string PathView(const std::string& path, bool leftView) {
  if (CharLength(path) <= static_cast<std::size_t>(kPathViewLength)) return path;
  if (leftView) return std::string(LeftChars(path, kPathViewLength)) + "...";
  return "..." + std::string(RightChars(path, kPathViewLength));
}

}  // namespace velmora
