#include "engine/undo_store.h"

#include <utility>

#include "engine/path.h"

namespace velmora {

UndoStore::PathRef UndoStore::Store(std::string_view path) {
  const std::size_t cut = path.rfind(kPathSeparator);
  const std::string_view folder =
      cut == std::string_view::npos ? std::string_view() : path.substr(0, cut + 1);
  const std::string_view name = path.substr(folder.size());

  // Consecutive steps nearly always share a folder, so look from the back
  // and only a few entries deep.
  std::uint32_t folderIndex = static_cast<std::uint32_t>(folders_.size());
  for (std::size_t k = folders_.size(), seen = 0; k > 0 && seen < 8; --k, ++seen) {
    if (folders_[k - 1] == folder) {
      folderIndex = static_cast<std::uint32_t>(k - 1);
      break;
    }
  }
  if (folderIndex == folders_.size()) folders_.emplace_back(folder);

  PathRef ref{folderIndex, static_cast<std::uint32_t>(names_.size()),
              static_cast<std::uint32_t>(name.size())};
  names_.append(name);
  liveNameBytes_ += name.size();
  return ref;
}

std::string UndoStore::Load(const PathRef& ref) const {
  std::string path = folders_[ref.folder];
  path.append(names_, ref.offset, ref.length);
  return path;
}

bool UndoStore::Append(std::string_view source, std::string_view dest, RunKind kind) {
  if (Count() >= kMaxRecords) return false;
  Record record{Store(source), Store(dest), kind};
  records_.push_back(record);
  return true;
}

UndoRecord UndoStore::Get(int index) const {
  const Record& record = records_[static_cast<std::size_t>(index)];
  return UndoRecord{Load(record.source), Load(record.dest), record.kind};
}

void UndoStore::Remove(int index) {
  const Record& record = records_[static_cast<std::size_t>(index)];
  liveNameBytes_ -= record.source.length + record.dest.length;
  records_.erase(records_.begin() + index);
  if (records_.empty()) {
    folders_.clear();
    names_.clear();
    liveNameBytes_ = 0;
  } else if (names_.size() > 2 * liveNameBytes_ + 4096) {
    Compact();
  }
}

void UndoStore::Compact() {
  UndoStore packed;
  for (int i = 0; i < Count(); ++i) {
    const UndoRecord record = Get(i);
    packed.Append(record.source, record.dest, record.kind);
  }
  *this = std::move(packed);
}

std::size_t UndoStore::MemoryUsage() const {
  std::size_t bytes = sizeof(*this) + records_.capacity() * sizeof(Record) + names_.capacity() +
                      folders_.capacity() * sizeof(std::string);
  for (const std::string& folder : folders_) {
    if (folder.capacity() > 15) bytes += folder.capacity() + 1;  // beyond the inline buffer
  }
  return bytes;
}

}  // namespace velmora
