#include "search/found_list.h"

#include <algorithm>

#include "search/name_order.h"

namespace velmora {

bool FoundList::Add(std::string path) {
  if (Count() >= kFoundListCapacity) return false;
  std::string key = SortKey(path);
  if (sorted_ && !entries_.empty()) {
    const Item& last = entries_.back();
    sorted_ = last.key < key || (last.key == key && last.entry.path <= path);
  }
  entries_.push_back({std::move(key), {std::move(path), false}});
  return true;
}

// A search adds thousands of entries before anyone looks at them, so they
// are sorted once when read rather than inserted in place one by one.
void FoundList::Sort() const {
  if (sorted_) return;
  std::stable_sort(entries_.begin(), entries_.end(), [](const Item& a, const Item& b) {
    if (a.key != b.key) return a.key < b.key;
    return a.entry.path < b.entry.path;
  });
  sorted_ = true;
}

const std::string& FoundList::Path(int index) const {
  static const std::string kNone;
  if (index < 0 || index >= Count()) return kNone;
  Sort();
  return entries_[static_cast<std::size_t>(index)].entry.path;
}

bool FoundList::IsMarked(int index) const {
  if (index < 0 || index >= Count()) return false;
  Sort();
  return entries_[static_cast<std::size_t>(index)].entry.marked;
}

void FoundList::SetMarked(int index, bool marked) {
  if (index < 0 || index >= Count()) return;
  Sort();
  entries_[static_cast<std::size_t>(index)].entry.marked = marked;
}

int FoundList::FirstMarked() const {
  Sort();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].entry.marked) return static_cast<int>(i);
  }
  return -1;
}

void FoundList::Clear() {
  entries_.clear();
  sorted_ = true;
}

std::vector<FoundEntry> FoundList::Entries() const {
  Sort();
  std::vector<FoundEntry> out;
  out.reserve(entries_.size());
  for (const Item& item : entries_) out.push_back(item.entry);
  return out;
}

void FoundList::KeepFields(const std::vector<FoundEntry>& entries) {
  Sort();
  const std::size_t count = std::min(entries.size(), entries_.size());
  for (std::size_t i = 0; i < count; ++i) {
    FoundEntry& kept = entries_[i].entry;
    if (kept.fields == nullptr && entries[i].fields != nullptr && kept.path == entries[i].path) {
      kept.fields = entries[i].fields;
    }
  }
}

std::string CountLabelText(int count) {
  if (count == 0) return "0";
  std::string text = count > 0 ? " " : "";  // the blank of a positive sign
  text += std::to_string(count);
  return text;
}

}  // namespace velmora
