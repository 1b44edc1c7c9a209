// The names of one folder as the plan's disk model keeps them: a hash table
// with open addressing whose keys are views into blocks of its own, so that
// a folder of tens of thousands of files costs a few allocations rather than
// one per name. Values stay where they are until their name is erased.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace velmora {

template <typename Value>
class NameTable {
 public:
  // Room for count names without growing.
  void Reserve(std::size_t count) {
    std::size_t size = 16;
    while (size < count * 2) size *= 2;
    if (size > slots_.size()) Rehash(size);
    keys_.reserve(count);
  }

  // The value of name, or null.
  Value* Find(std::string_view name) {
    if (slots_.empty()) return nullptr;
    const Slot* slot = Lookup(name, Hash(name));
    return slot->value >= 0 ? &At(slot->value) : nullptr;
  }

  // The value of name, a default one added when it was missing.
  Value& Insert(std::string_view name, bool* added = nullptr) {
    // At most half the slots in use keeps the probes short, at eight bytes
    // a slot. Erased slots count as used until a rehash drops them.
    if ((used_ + 1) * 2 > slots_.size()) {
      const std::size_t live = count_ - free_.size();
      Rehash(slots_.empty()                   ? 16
             : (live + 1) * 4 > slots_.size() ? slots_.size() * 2
                                              : slots_.size());
    }
    const std::uint32_t hash = Hash(name);
    Slot* slot = Lookup(name, hash);
    if (added != nullptr) *added = slot->value < 0;
    if (slot->value >= 0) return At(slot->value);
    if (slot->value == kEmpty) ++used_;
    *slot = {hash, NewValue()};
    keys_[static_cast<std::size_t>(slot->value)] = Keep(name);
    return At(slot->value);
  }

  // Removes name; false when it was not there.
  bool Erase(std::string_view name) {
    if (slots_.empty()) return false;
    Slot* slot = Lookup(name, Hash(name));
    if (slot->value < 0) return false;
    free_.push_back(slot->value);
    slot->value = kErased;
    return true;
  }

  void Clear() {
    slots_.clear();
    chunks_.clear();
    count_ = 0;
    keys_.clear();
    free_.clear();
    used_ = 0;
  }

 private:
  static constexpr std::int32_t kEmpty = -1;
  static constexpr std::int32_t kErased = -2;
  // Eight bytes: a folder's table is probed and moved as a whole, and its
  // names are only looked at when the hashes agree.
  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t value = kEmpty;  // index of the value and into keys_, or kEmpty / kErased
  };

  // The last left bytes of a name of size bytes (0 < left < 8), read in at
  // most two loads: a byte loop would cost more than the rest of the hash.
  static std::uint64_t NameTail(const char* p, std::size_t left, std::size_t size) {
    std::uint64_t word = 0;
    if (size >= 8) {
      // The eight bytes that end the name, some of them hashed already.
      std::memcpy(&word, p + left - 8, 8);
    } else if (left >= 4) {
      std::uint32_t low = 0, high = 0;
      std::memcpy(&low, p, 4);
      std::memcpy(&high, p + left - 4, 4);
      word = low | static_cast<std::uint64_t>(high) << 32;
    } else {
      word = static_cast<unsigned char>(p[0]) |
             static_cast<std::uint64_t>(static_cast<unsigned char>(p[left / 2])) << 8 |
             static_cast<std::uint64_t>(static_cast<unsigned char>(p[left - 1])) << 16;
    }
    return word;
  }

  // Eight bytes at a time with a multiply-and-fold mix: names are short,
  // and the library's hash costs more than the probe it serves.
  static std::uint32_t Hash(std::string_view name) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
    std::uint64_t h = name.size() * kMul;
    const char* p = name.data();
    std::size_t left = name.size();
    for (; left >= 8; p += 8, left -= 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, p, 8);
      h = (h ^ word) * kMul;
      h ^= h >> 29;
    }
    if (left > 0) {
      h = (h ^ NameTail(p, left, name.size())) * kMul;
      h ^= h >> 29;
    }
    h *= 0xBF58476D1CE4E5B9ULL;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
  }

  // The slot holding name, else the first free one on its probe sequence.
  Slot* Lookup(std::string_view name, std::uint32_t hash) {
    const std::size_t mask = slots_.size() - 1;
    Slot* reuse = nullptr;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.value == kEmpty) return reuse != nullptr ? reuse : &slot;
      if (slot.value == kErased) {
        if (reuse == nullptr) reuse = &slot;
      } else if (slot.hash == hash && keys_[static_cast<std::size_t>(slot.value)] == name) {
        return &slot;
      }
    }
  }

  void Rehash(std::size_t size) {
    std::vector<Slot> old(size);
    old.swap(slots_);
    used_ = 0;
    for (const Slot& slot : old) {
      if (slot.value < 0) continue;
      const std::size_t mask = slots_.size() - 1;
      std::size_t i = slot.hash & mask;
      while (slots_[i].value != kEmpty) i = (i + 1) & mask;
      slots_[i] = slot;
      ++used_;
    }
  }

  std::int32_t NewValue() {
    if (!free_.empty()) {
      const std::int32_t index = free_.back();
      free_.pop_back();
      At(index) = Value();
      return index;
    }
    if (count_ == chunks_.size() * kChunk) chunks_.push_back(std::make_unique<Value[]>(kChunk));
    keys_.emplace_back();
    return static_cast<std::int32_t>(count_++);
  }

  // A copy of name in the table's own blocks; never moved.
  std::string_view Keep(std::string_view name) {
    if (name.size() > left_) {
      const std::size_t size = std::max<std::size_t>(name.size(), kBlock);
      blocks_.push_back(std::make_unique<char[]>(size));
      at_ = blocks_.back().get();
      left_ = size;
    }
    char* copy = at_;
    name.copy(copy, name.size());
    at_ += name.size();
    left_ -= name.size();
    return {copy, name.size()};
  }

  static constexpr std::size_t kBlock = std::size_t{64} * 1024;
  std::vector<Slot> slots_;  // a power of two long
  // The values in chunks that never move: an index finds its value in two
  // steps, and adding one seldom allocates.
  static constexpr std::size_t kChunk = 256;
  Value& At(std::int32_t index) {
    const auto i = static_cast<std::size_t>(index);
    return chunks_[i / kChunk][i % kChunk];
  }
  std::vector<std::unique_ptr<Value[]>> chunks_;
  std::size_t count_ = 0;               // values made so far, erased ones included
  std::vector<std::string_view> keys_;  // the name of each value, in the blocks
  std::vector<std::int32_t> free_;      // erased values, reused first
  std::size_t used_ = 0;                // slots not empty (erased ones count)
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* at_ = nullptr;
  std::size_t left_ = 0;
};

}  // namespace velmora
