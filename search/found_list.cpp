#include "search/found_list.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

#include "search/name_order.h"

namespace velmora {

bool FoundList::Add(std::string path) {
  if (Count() >= kFoundListCapacity) return false;
  // A search mostly adds in order: only the last key is kept to tell.
  if (sorted_) {
    if (lastKeyStale_) SortKeyInto(entries_.back().path, lastKey_);
    lastKeyStale_ = false;
    SortKeyInto(path, key_);
    if (!entries_.empty()) {
      sorted_ = order_ == ListOrder{} &&
                (lastKey_ < key_ || (lastKey_ == key_ && entries_.back().path <= path));
    }
    lastKey_.swap(key_);
  }
  entries_.push_back({std::move(path), false});
  if (!facts_.empty()) facts_.emplace_back();
  return true;
}

bool FoundList::AddAfterLast(std::string path) {
  if (Count() >= kFoundListCapacity) return false;
  entries_.push_back({std::move(path), false});
  AddedAfterLast();
  return true;
}

bool FoundList::AddAfterLast(std::string_view prefix, std::string_view name) {
  if (Count() >= kFoundListCapacity) return false;
  // Made at its full size at once: no room grown, no end written twice.
  std::string path(prefix.size() + name.size(), '\0');
  std::memcpy(path.data(), prefix.data(), prefix.size());
  std::memcpy(path.data() + prefix.size(), name.data(), name.size());
  entries_.emplace_back().path = std::move(path);
  AddedAfterLast();
  return true;
}

void FoundList::AddedAfterLast() {
  // One folder's keys all begin with the folder's key, so two of its paths
  // compare as their names do: the list stays in order by name.
  if (sorted_ && entries_.size() > 1) {
    sorted_ = order_ == ListOrder{};
    lastKeyStale_ = sorted_;
  } else if (sorted_) {
    SortKeyInto(entries_.back().path, lastKey_);
  }
  if (!facts_.empty()) facts_.emplace_back();
}

void FoundList::Reserve(std::size_t count) {
  count = std::min(count, static_cast<std::size_t>(kFoundListCapacity));
  if (count <= entries_.capacity()) return;
  // Growing at least twofold keeps many small folders from moving it each time.
  entries_.reserve(std::min(std::max(count, entries_.capacity() * 2),
                            static_cast<std::size_t>(kFoundListCapacity)));
}

bool FoundList::Less(const std::string& ka, std::size_t a, const std::string& kb,
                     std::size_t b) const {
  int primary = 0;
  const auto compare = [](std::int64_t x, std::int64_t y) { return x < y ? -1 : (x > y ? 1 : 0); };
  const bool facts = !facts_.empty();
  switch (order_.by) {
    case OrderBy::kNatural:
      primary = NaturalCompare(ka, kb);
      break;
    case OrderBy::kModified:
      if (facts) primary = compare(facts_[a].modified, facts_[b].modified);
      break;
    case OrderBy::kSize:
      if (facts) primary = compare(facts_[a].size, facts_[b].size);
      break;
    case OrderBy::kName:
      break;
  }
  if (primary == 0) {
    primary = ka.compare(kb);
    if (primary == 0) primary = entries_[a].path.compare(entries_[b].path);
    // The name order itself turns round; the others keep their ties in it.
    if (order_.by != OrderBy::kName) return primary < 0;
  }
  return order_.reverse ? primary > 0 : primary < 0;
}

void FoundList::SetOrder(const ListOrder& order) {
  if (order == order_) return;
  order_ = order;
  sorted_ = false;
}

void FoundList::ReadFacts(const FactReader& read) {
  facts_.resize(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Facts& facts = facts_[i];
    if (facts.read) continue;
    facts.read = true;
    if (!read(entries_[i].path, facts.size, facts.modified)) facts.size = facts.modified = 0;
    sorted_ = false;
  }
}

void FoundList::SortEntries(std::vector<FoundEntry>& entries, const ListOrder& order,
                            const FactReader& read) {
  FoundList list;
  list.entries_ = std::move(entries);
  list.order_ = order;
  list.sorted_ = false;
  if (NeedsFileFacts(order)) list.ReadFacts(read);
  list.Sort();
  entries = std::move(list.entries_);
}

// A search adds thousands of entries before anyone looks at them, so they
// are sorted once when read rather than inserted in place one by one.
void FoundList::Sort() const {
  if (sorted_) return;
  std::vector<std::pair<std::string, std::size_t>> keys;
  keys.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) keys.emplace_back(SortKey(entries_[i].path), i);
  std::stable_sort(keys.begin(), keys.end(), [this](const auto& a, const auto& b) {
    return Less(a.first, a.second, b.first, b.second);
  });
  std::vector<FoundEntry> sorted;
  sorted.reserve(entries_.size());
  for (const auto& key : keys) sorted.push_back(std::move(entries_[key.second]));
  entries_.swap(sorted);
  if (!facts_.empty()) {
    std::vector<Facts> facts;
    facts.reserve(facts_.size());
    for (const auto& key : keys) facts.push_back(facts_[key.second]);
    facts_.swap(facts);
  }
  // Only the default order lets the next Add tell by the last key alone.
  lastKey_ = keys.empty() ? std::string() : std::move(keys.back().first);
  lastKeyStale_ = false;
  sorted_ = true;
}

const std::string& FoundList::Path(int index) const {
  static const std::string kNone;
  if (index < 0 || index >= Count()) return kNone;
  Sort();
  return entries_[static_cast<std::size_t>(index)].path;
}

bool FoundList::IsMarked(int index) const {
  if (index < 0 || index >= Count()) return false;
  Sort();
  return entries_[static_cast<std::size_t>(index)].marked;
}

void FoundList::SetMarked(int index, bool marked) {
  if (index < 0 || index >= Count()) return;
  Sort();
  entries_[static_cast<std::size_t>(index)].marked = marked;
}

int FoundList::FirstMarked() const {
  Sort();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].marked) return static_cast<int>(i);
  }
  return -1;
}

void FoundList::Clear() {
  entries_.clear();
  facts_.clear();
  sorted_ = true;
  lastKey_.clear();
  lastKeyStale_ = false;
}

std::vector<FoundEntry> FoundList::Entries() const {
  Sort();
  return entries_;
}

std::vector<FoundEntry> FoundList::TakeEntries() {
  Sort();
  std::vector<FoundEntry> out = std::move(entries_);
  Clear();
  return out;
}

void FoundList::KeepFields(const std::vector<FoundEntry>& entries) {
  Sort();
  const std::size_t count = std::min(entries.size(), entries_.size());
  for (std::size_t i = 0; i < count; ++i) {
    FoundEntry& kept = entries_[i];
    if (kept.fields == nullptr && entries[i].fields != nullptr && kept.path == entries[i].path) {
      kept.fields = entries[i].fields;
    }
  }
}

std::string CountLabelText(int count) {
  std::string text;
  CountLabelTextInto(count, text);
  return text;
}

void CountLabelTextInto(int count, std::string& text) {
  text.clear();
  if (count > 0) text += ' ';  // the blank of a positive sign
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, count).ptr;
  text.append(digits, end);
}

}  // namespace velmora
