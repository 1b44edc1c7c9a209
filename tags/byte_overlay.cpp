#include "tags/byte_overlay.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

// Equal bytes shorter than this between two changes do not split an edit:
// a journal line costs more than they do.
constexpr std::size_t kJoinGap = 16;

void AddEdit(TagEdits& edits, long long offset, const std::string& old, const std::string& now,
             std::size_t at, std::size_t oldLength, std::size_t newLength) {
  edits.edits.push_back({offset + static_cast<long long>(at), old.substr(at, oldLength),
                         static_cast<long long>(newLength), now.substr(at, newLength)});
}

// Same-length stretches become one edit per run of changed bytes.
void AddRuns(TagEdits& edits, long long offset, const std::string& old, const std::string& now) {
  std::size_t i = 0;
  while (i < old.size()) {
    if (old[i] == now[i]) {
      ++i;
      continue;
    }
    std::size_t end = i + 1, same = 0;
    for (std::size_t j = end; j < old.size() && same < kJoinGap; ++j) {
      same = old[j] == now[j] ? same + 1 : 0;
      if (same == 0) end = j + 1;
    }
    AddEdit(edits, offset, old, now, i, end - i, end - i);
    i = end;
  }
}

// Other stretches become one edit without their common start and end.
void AddTrimmed(TagEdits& edits, long long offset, const std::string& old, const std::string& now) {
  const std::size_t shorter = std::min(old.size(), now.size());
  std::size_t head = 0, tail = 0;
  while (head < shorter && old[head] == now[head]) ++head;
  while (tail < shorter - head && old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) ++tail;
  AddEdit(edits, offset, old, now, head, old.size() - head - tail, now.size() - head - tail);
}

}  // namespace

ByteOverlay::ByteOverlay(BaseRead base, long long size)
    : base_(std::move(base)), baseSize_(size), size_(size) {
  if (size > 0) pieces_.emplace(0, Piece{size, 0, {}});
}

long long ByteOverlay::SplitAt(long long offset) {
  if (offset >= size_) return size_;
  auto it = std::prev(pieces_.upper_bound(offset));
  if (it->first == offset) return offset;
  Piece& first = it->second;
  const long long cut = offset - it->first;
  Piece second{first.length - cut, first.origin < 0 ? -1 : first.origin + cut, {}};
  if (first.origin < 0) {
    second.bytes = first.bytes.substr(static_cast<std::size_t>(cut));
    first.bytes.resize(static_cast<std::size_t>(cut));
  }
  first.length = cut;
  pieces_.emplace(offset, std::move(second));
  return offset;
}

void ByteOverlay::Replace(long long start, long long length, std::string_view bytes) {
  start = std::clamp(start, 0LL, size_);
  length = std::clamp(length, 0LL, size_ - start);
  if (length == 0 && bytes.empty()) return;
  SplitAt(start);
  SplitAt(start + length);
  pieces_.erase(pieces_.lower_bound(start), pieces_.lower_bound(start + length));
  const long long delta = static_cast<long long>(bytes.size()) - length;
  if (delta != 0) {
    // Keys move up from the last, down from the first, so none collide.
    std::vector<long long> keys;
    for (auto it = pieces_.lower_bound(start); it != pieces_.end(); ++it) keys.push_back(it->first);
    if (delta > 0) std::reverse(keys.begin(), keys.end());
    for (const long long key : keys) {
      auto node = pieces_.extract(key);
      node.key() += delta;
      pieces_.insert(std::move(node));
    }
  }
  if (!bytes.empty()) {
    pieces_.emplace(start, Piece{static_cast<long long>(bytes.size()), -1, std::string(bytes)});
  }
  size_ += delta;
  MergeAround(start);
}

// Neighbouring pieces of own bytes become one, so that the many small
// writes of a save stay few pieces.
void ByteOverlay::MergeAround(long long start) {
  auto it = pieces_.lower_bound(start);
  if (it != pieces_.begin()) it = std::prev(it);
  for (int step = 0; step < 2 && it != pieces_.end(); ++step) {
    const auto next = std::next(it);
    if (next != pieces_.end() && it->second.origin < 0 && next->second.origin < 0) {
      it->second.bytes += next->second.bytes;
      it->second.length += next->second.length;
      pieces_.erase(next);
    } else {
      it = next;
    }
  }
}

Error ByteOverlay::Read(long long offset, char* data, std::size_t size) const {
  const long long count = static_cast<long long>(size);
  if (offset < 0 || offset + count > size_) return {kInputPastEnd, "read past the end"};
  if (size == 0) return {};
  for (auto it = std::prev(pieces_.upper_bound(offset)); size > 0; ++it) {
    const long long into = offset - it->first;
    const std::size_t take = static_cast<std::size_t>(
        std::min<long long>(it->second.length - into, static_cast<long long>(size)));
    if (it->second.origin >= 0) {
      if (Error error = base_(it->second.origin + into, data, take)) return error;
    } else {
      std::memcpy(data, it->second.bytes.data() + into, take);
    }
    data += take;
    offset += static_cast<long long>(take);
    size -= take;
  }
  return {};
}

// Pieces of the unchanged file taken in their order are kept; everything
// between them is new.
std::vector<ByteOverlay::Gap> ByteOverlay::Gaps() const {
  std::vector<Gap> gaps;
  long long kept = 0, pendingStart = -1;
  for (const auto& [start, piece] : pieces_) {
    if (piece.origin < kept) {
      if (pendingStart < 0) pendingStart = start;
      continue;
    }
    if (piece.origin > kept || pendingStart >= 0) {
      gaps.push_back({kept, piece.origin, pendingStart >= 0 ? pendingStart : start, start});
    }
    pendingStart = -1;
    kept = piece.origin + piece.length;
  }
  if (kept < baseSize_ || pendingStart >= 0) {
    gaps.push_back({kept, baseSize_, pendingStart >= 0 ? pendingStart : size_, size_});
  }
  return gaps;
}

Error ByteOverlay::Span(std::optional<RegionEdit>& span) const {
  span.reset();
  const std::vector<Gap> gaps = Gaps();
  if (gaps.empty()) return {};
  RegionEdit edit{gaps.front().oldStart, gaps.back().oldEnd - gaps.front().oldStart, {}};
  edit.bytes.resize(static_cast<std::size_t>(gaps.back().newEnd - gaps.front().newStart));
  if (Error error = Read(gaps.front().newStart, edit.bytes.data(), edit.bytes.size())) {
    return error;
  }
  span = std::move(edit);
  return {};
}

Error ByteOverlay::Edits(TagEdits& edits) const {
  edits = {};
  edits.oldSize = baseSize_;
  edits.newSize = size_;
  std::string old, now;
  for (const Gap& gap : Gaps()) {
    old.resize(static_cast<std::size_t>(gap.oldEnd - gap.oldStart));
    now.resize(static_cast<std::size_t>(gap.newEnd - gap.newStart));
    if (!old.empty()) {
      if (Error error = base_(gap.oldStart, old.data(), old.size())) return error;
    }
    if (Error error = Read(gap.newStart, now.data(), now.size())) return error;
    if (old.size() == now.size()) {
      AddRuns(edits, gap.newStart, old, now);
    } else {
      AddTrimmed(edits, gap.newStart, old, now);
    }
  }
  return {};
}

}  // namespace velmora
