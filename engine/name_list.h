// A folder's file names in one block of text, in the order they were added:
// a folder of many files costs a few allocations instead of one per name.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class NameList {
 public:
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    Iterator() = default;
    Iterator(const NameList* list, std::size_t at) : list_(list), at_(at) {}
    std::string_view operator*() const { return (*list_)[at_]; }
    Iterator& operator++() {
      ++at_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++at_;
      return before;
    }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }

   private:
    const NameList* list_ = nullptr;
    std::size_t at_ = 0;
  };

  NameList() = default;
  NameList(std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) Add(name);
  }

  // Room for count names of bytes in all.
  void Reserve(std::size_t count, std::size_t bytes) {
    spans_.reserve(count);
    text_.reserve(bytes);
  }
  void Add(std::string_view name) {
    spans_.push_back({text_.size(), name.size()});
    text_.append(name);
  }

  [[nodiscard]] std::size_t size() const { return spans_.size(); }
  [[nodiscard]] bool empty() const { return spans_.empty(); }
  // The name at position i (below size()).
  [[nodiscard]] std::string_view operator[](std::size_t i) const {
    return {text_.data() + spans_[i].start, spans_[i].length};
  }
  [[nodiscard]] Iterator begin() const { return {this, 0}; }
  [[nodiscard]] Iterator end() const { return {this, size()}; }

  bool operator==(const NameList&) const = default;

 private:
  struct Span {
    std::size_t start;
    std::size_t length;
    bool operator==(const Span&) const = default;
  };
  std::string text_;
  std::vector<Span> spans_;  // where each name lies in text_
};

}  // namespace velmora
