// The English texts of a Qt translation file (.qm) read without Qt, so that
// the command line needs no Qt library. A text is found the way QTranslator
// finds it: by the hash of the source text, then the context and source
// text the file keeps for texts whose hashes collide.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

class QmCatalogue {
 public:
  // Reads the file at path; false, and an empty catalogue, when it cannot be
  // read or is no translation file.
  bool Load(const std::string& path);

  // The translation of text in context, in UTF-8; "" when there is none.
  [[nodiscard]] std::string Find(std::string_view context, std::string_view text) const;

  [[nodiscard]] bool Empty() const { return data_.empty(); }

 private:
  [[nodiscard]] bool HasContext(std::string_view context) const;
  [[nodiscard]] std::string Message(std::size_t offset, std::string_view context,
                                    std::string_view text, bool& found) const;

  std::string data_;
  std::string_view hashes_, messages_, contexts_;
};

}  // namespace velmora
