// Paths written down one after the other, each with a letter, in blocks that
// never move: what a run's guard and tally note per step, so that their
// tables of paths are built only when a step asks them something.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace velmora {

class PathNotes {
 public:
  void Add(char letter, std::string_view path);
  // Calls visit(letter, path) for every note, oldest first.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const Block& block : blocks_) {
      for (std::size_t at = 0; at < block.used;) {
        std::string_view path;
        const char letter = Read(block, at, path);
        visit(letter, path);
      }
    }
  }
  void Clear();
  [[nodiscard]] bool empty() const { return bytes_ == 0; }
  // The bytes the notes take.
  [[nodiscard]] std::size_t bytes() const { return bytes_; }

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    std::size_t used = 0;
  };
  // The note at at in block; at moves past it.
  static char Read(const Block& block, std::size_t& at, std::string_view& path);

  std::vector<Block> blocks_;
  std::size_t bytes_ = 0;
};

}  // namespace velmora
