// The found-files list: the full paths the search found, each with a mark,
// kept in the chosen ListOrder; by default in ascending order of SortKey
// (ties in byte order), which also settles ties of every other order.
// Positions are 0-based; the list holds at most 32,767 entries.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/batch_run.h"  // FoundEntry
#include "search/name_order.h"

namespace velmora {

inline constexpr int kFoundListCapacity = 32767;

class FoundList {
 public:
  [[nodiscard]] int Count() const { return static_cast<int>(entries_.size()); }
  [[nodiscard]] bool Empty() const { return entries_.empty(); }

  // Adds an unmarked entry at its sorted place; false (nothing added) when
  // the list already holds kFoundListCapacity entries.
  bool Add(std::string path);
  // Adds path as Add does, where path lies in the folder of the entry added
  // last and its name sorts after that entry's name (NameLess), as the
  // names of one listing come: the order then needs no key of the path.
  bool AddAfterLast(std::string path);
  // The same for prefix (a folder with its separator) and name, the path
  // made in the list's own room.
  bool AddAfterLast(std::string_view prefix, std::string_view name);

  // Room for count entries in all (at most the capacity), so that adding a
  // large folder's files moves the list once.
  void Reserve(std::size_t count);

  // Entry text and mark at a position; "" and false outside the list.
  [[nodiscard]] const std::string& Path(int index) const;
  [[nodiscard]] bool IsMarked(int index) const;

  // Sets or clears one mark; positions outside the list are ignored.
  void SetMarked(int index, bool marked);

  // The lowest marked position, or -1 when nothing is marked.
  [[nodiscard]] int FirstMarked() const;

  // Removes every entry.
  void Clear();

  // Every entry with its mark, in list order: what a run walks over.
  [[nodiscard]] std::vector<FoundEntry> Entries() const;
  // The same, moved out: the list is left empty.
  std::vector<FoundEntry> TakeEntries();

  // Keeps the fields read for entries (as Entries() gave them, in that
  // order) where the list still holds the same path at the same place and
  // has none yet, so they are read once per search.
  void KeepFields(const std::vector<FoundEntry>& entries);

  // The order the entries follow from now on.
  void SetOrder(const ListOrder& order);
  [[nodiscard]] const ListOrder& Order() const { return order_; }

  // Size and modification time of a file, read once per entry for the
  // orders that need them; false when the file cannot be looked at (it then
  // sorts as size 0 and time 0).
  using FactReader =
      std::function<bool(const std::string& path, std::int64_t& size, std::int64_t& modified)>;
  void ReadFacts(const FactReader& read);

  // entries put in order as a list of them would be, facts read through
  // read for the orders that need them; marks and fields go with their paths.
  static void SortEntries(std::vector<FoundEntry>& entries, const ListOrder& order,
                          const FactReader& read);

 private:
  // Size and modification time of one entry, for the orders that need them.
  struct Facts {
    std::int64_t size = 0;
    std::int64_t modified = 0;
    bool read = false;
  };
  // a before b in the chosen order; ka and kb are their SortKeys.
  [[nodiscard]] bool Less(const std::string& ka, std::size_t a, const std::string& kb,
                          std::size_t b) const;
  void Sort() const;
  // Keeps the order known after an entry was added by AddAfterLast.
  void AddedAfterLast();

  mutable std::vector<FoundEntry> entries_;
  mutable std::vector<Facts> facts_;   // beside entries_ once read, else empty
  mutable bool sorted_ = true;         // entries are appended and sorted when next read
  mutable std::string lastKey_;        // SortKey of the last entry while sorted_
  mutable bool lastKeyStale_ = false;  // lastKey_ not yet brought up to the last entry
  std::string key_;                    // room for the next key
  ListOrder order_;
};

// The count label's text for a list of count entries: "0" for none, else the
// number with a leading blank for its sign (" 3").
std::string CountLabelText(int count);
// The same into text, whose room is reused.
void CountLabelTextInto(int count, std::string& text);

}  // namespace velmora
