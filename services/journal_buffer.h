// Records put together for one write to the journal.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace velmora {

// The room is made once and kept from write to write; records are written
// straight into it, never cleared first as std::string::resize would.
class RecordBuffer {
 public:
  [[nodiscard]] std::size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0; }
  [[nodiscard]] std::string_view view() const { return {data_.get(), size_}; }
  void clear() { size_ = 0; }
  // Keeps the first size bytes.
  void Truncate(std::size_t size) { size_ = std::min(size, size_); }

  // Room for n bytes after the records; End then says where those written
  // end.
  char* Room(std::size_t n) {
    if (capacity_ - size_ < n) Grow(n);
    return data_.get() + size_;
  }
  void End(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }

  RecordBuffer& operator+=(std::string_view text) {
    char* const at = Room(text.size());
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    size_ += text.size();
    return *this;
  }

 private:
  void Grow(std::size_t n) {
    const std::size_t capacity = std::max({2 * capacity_, size_ + n, std::size_t{4096}});
    // Not value-initialised: only the bytes below size_ are ever read.
    std::unique_ptr<char[]> data(new char[capacity]);
    if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace velmora
