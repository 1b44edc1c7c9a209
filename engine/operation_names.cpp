#include "engine/operation_names.h"

namespace velmora {

const std::array<const char*, kOperationCount>& OperationNames() {
  static const std::array<const char*, kOperationCount> names{
      "",
      "replace",
      "insert-after",
      "insert-before",
      "insert-at",
      "delete-count-after",
      "delete-count-before",
      "delete-count-at",
      "delete-all-before",
      "delete-all-after",
      "number-after",
      "number-before",
      "number-at",
      "capitalize",
      "mirror",
      "delete-between",
      "upper",
      "lower",
      "from-tags",
      "regex",
      "transliterate",
  };
  return names;
}

int OperationCode(const std::string& text) {
  for (int code = 0; code < kOperationCount; ++code) {
    if (text == std::to_string(code)) return code;
    if (code > 0 && text == OperationNames()[static_cast<std::size_t>(code)]) return code;
  }
  return -1;
}

}  // namespace velmora
