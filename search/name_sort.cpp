// Sorting many names by NameLess: every key in one block, a radix sort of
// eight key bytes after what all keys share, and a full comparison only
// where those eight bytes tie. A folder of tens of thousands of names then
// costs a few allocations and a few passes over small records.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <utility>

#include "search/name_order.h"

namespace velmora {
namespace {

// One name of a sort: eight bytes of its key after what all keys share, the
// first in the highest byte and zero padded, so that heads compare as those
// key bytes do (a name holds no zero byte, so a shorter key comes first).
struct Keyed {
  std::uint64_t head;
  std::uint32_t index;
};

std::uint64_t HeadOf(const char* key, std::size_t length) {
  unsigned char bytes[8] = {};
  if (length >= 8) {
    std::memcpy(bytes, key, 8);
  } else {
    std::memcpy(bytes, key, length);
  }
  std::uint64_t head = 0;
  std::memcpy(&head, bytes, 8);
  if constexpr (std::endian::native == std::endian::little) head = __builtin_bswap64(head);
  return head;
}

// Below this many names a comparison sort costs less than the radix passes.
constexpr std::size_t kRadixFrom = 256;

// order sorted by head, least significant byte first; a byte every head
// shares costs no pass.
void RadixSortByHead(std::vector<Keyed>& order) {
  std::array<std::array<std::uint32_t, 256>, 8> counts{};
  for (const Keyed& k : order) {
    for (std::size_t b = 0; b < 8; ++b) ++counts[b][(k.head >> (8 * b)) & 0xFF];
  }
  std::vector<Keyed> spare(order.size());
  for (std::size_t b = 0; b < 8; ++b) {
    std::array<std::uint32_t, 256>& count = counts[b];
    if (count[(order.front().head >> (8 * b)) & 0xFF] == order.size()) continue;
    std::uint32_t sum = 0;
    for (std::uint32_t& c : count) sum += std::exchange(c, sum);
    for (const Keyed& k : order) spare[count[(k.head >> (8 * b)) & 0xFF]++] = k;
    order.swap(spare);
  }
}

class NameSorter {
 public:
  explicit NameSorter(const std::vector<std::string_view>& names);
  std::vector<std::uint32_t> Order();

 private:
  struct Span {
    std::size_t start;
    std::size_t length;
  };
  [[nodiscard]] std::string_view KeyOf(std::uint32_t i) const {
    return {keys_.get() + spans_[i].start, spans_[i].length};
  }
  // The whole comparison, for names whose heads tie.
  [[nodiscard]] bool Less(const Keyed& a, const Keyed& b) const {
    const int byKey = KeyOf(a.index).compare(KeyOf(b.index));
    return byKey != 0 ? byKey < 0 : names_[a.index] < names_[b.index];
  }

  const std::vector<std::string_view>& names_;
  std::unique_ptr<char[]> keys_;
  std::vector<Span> spans_;
  std::vector<Keyed> order_;
};

// The heads start after what all keys share ("file" of "file00001.txt"), so
// that most comparisons end there.
NameSorter::NameSorter(const std::vector<std::string_view>& names) : names_(names) {
  std::size_t room = 0;
  for (std::string_view name : names) room += name.size();
  keys_ = std::make_unique_for_overwrite<char[]>(room + 1);
  spans_.resize(names.size());
  std::size_t at = 0;
  std::size_t common = 0;  // bytes every key begins with
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::size_t length = WriteSortKey(names[i], keys_.get() + at);
    spans_[i] = {at, length};
    if (i == 0) {
      common = length;
    } else {
      const std::size_t limit = std::min(common, length);
      std::size_t same = 0;
      while (same < limit && keys_[at + same] == keys_[same]) ++same;
      common = same;
    }
    at += length;
  }
  order_.resize(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const Span& span = spans_[i];
    order_[i] = {HeadOf(keys_.get() + span.start + common, span.length - common),
                 static_cast<std::uint32_t>(i)};
  }
}

std::vector<std::uint32_t> NameSorter::Order() {
  const auto less = [this](const Keyed& a, const Keyed& b) {
    return a.head != b.head ? a.head < b.head : Less(a, b);
  };
  if (order_.size() < kRadixFrom) {
    std::sort(order_.begin(), order_.end(), less);
  } else {
    RadixSortByHead(order_);
    for (auto run = order_.begin(); run != order_.end();) {
      const std::uint64_t head = run->head;
      const auto end =
          std::find_if(run + 1, order_.end(), [head](const Keyed& k) { return k.head != head; });
      if (end - run > 1) std::sort(run, end, less);
      run = end;
    }
  }
  std::vector<std::uint32_t> positions(order_.size());
  for (std::size_t k = 0; k < order_.size(); ++k) positions[k] = order_[k].index;
  return positions;
}

}  // namespace

std::vector<std::uint32_t> NameOrder(const std::vector<std::string_view>& names) {
  return NameSorter(names).Order();
}

void SortNames(std::vector<std::string>& names) {
  if (names.size() < 2) return;
  const std::vector<std::string_view> views(names.begin(), names.end());
  const std::vector<std::uint32_t> order = NameOrder(views);
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (const std::uint32_t at : order) sorted.push_back(std::move(names[at]));
  names.swap(sorted);
}

}  // namespace velmora
