#include "search/found_list.h"

#include <algorithm>

#include "search/name_order.h"

namespace velmora {

bool FoundList::Add(std::string path) {
  if (Count() >= kFoundListCapacity) return false;
  std::string key = SortKey(path);
  Item item{std::move(key), {std::move(path), false}};
  if (sorted_ && !entries_.empty()) {
    sorted_ = order_ == ListOrder{} && !Less(item, entries_.back());
  }
  entries_.push_back(std::move(item));
  return true;
}

bool FoundList::Less(const Item& a, const Item& b) const {
  int primary = 0;
  switch (order_.by) {
    case OrderBy::kNatural:
      primary = NaturalCompare(a.key, b.key);
      break;
    case OrderBy::kModified:
      primary = a.modified < b.modified ? -1 : (a.modified > b.modified ? 1 : 0);
      break;
    case OrderBy::kSize:
      primary = a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
      break;
    case OrderBy::kName:
      break;
  }
  if (primary == 0) {
    primary = a.key.compare(b.key);
    if (primary == 0) primary = a.entry.path.compare(b.entry.path);
    // The name order itself turns round; the others keep their ties in it.
    if (order_.by != OrderBy::kName) return primary < 0;
  }
  return order_.reverse ? primary > 0 : primary < 0;
}

void FoundList::SetOrder(const ListOrder& order) {
  if (order == order_) return;
  order_ = order;
  sorted_ = entries_.size() < 2;
}

void FoundList::ReadFacts(const FactReader& read) {
  for (Item& item : entries_) {
    if (item.factsRead) continue;
    item.factsRead = true;
    if (!read(item.entry.path, item.size, item.modified)) item.size = item.modified = 0;
    sorted_ = false;
  }
}

// A search adds thousands of entries before anyone looks at them, so they
// are sorted once when read rather than inserted in place one by one.
void FoundList::Sort() const {
  if (sorted_) return;
  std::stable_sort(entries_.begin(), entries_.end(),
                   [this](const Item& a, const Item& b) { return Less(a, b); });
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
