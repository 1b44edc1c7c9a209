#include "engine/path_notes.h"

#include <algorithm>
#include <cstring>

namespace velmora {
namespace {

constexpr std::size_t kBlock = std::size_t{64} * 1024;

}  // namespace

void PathNotes::Add(char letter, std::string_view path) {
  const std::size_t length = path.size();
  const std::size_t size = 1 + sizeof length + length;
  if (blocks_.empty() || blocks_.back().size - blocks_.back().used < size) {
    const std::size_t room = std::max(size, kBlock);
    // Not zeroed first: every byte is written before it is read.
    blocks_.push_back({std::unique_ptr<char[]>(new char[room]), room, 0});
  }
  Block& last = blocks_.back();
  char* at = last.bytes.get() + last.used;
  at[0] = letter;
  std::memcpy(at + 1, &length, sizeof length);
  std::memcpy(at + 1 + sizeof length, path.data(), length);
  last.used += size;
  bytes_ += size;
}

char PathNotes::Read(const Block& block, std::size_t& at, std::string_view& path) {
  const char* note = block.bytes.get() + at;
  std::size_t length = 0;
  std::memcpy(&length, note + 1, sizeof length);
  path = std::string_view(note + 1 + sizeof length, length);
  at += 1 + sizeof length + length;
  return note[0];
}

void PathNotes::Clear() {
  // The first block is kept for the notes to come.
  if (blocks_.size() > 1) blocks_.resize(1);
  if (!blocks_.empty()) blocks_.front().used = 0;
  bytes_ = 0;
}

}  // namespace velmora
