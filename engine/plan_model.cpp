#include "engine/plan_model.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/path.h"
#include "engine/text.h"

namespace velmora {

std::string CaselessName(std::string_view name) { return FoldLetterCase(name); }

bool EqualCaseless(std::string_view a, std::string_view b) {
  // ASCII compares in place; from the first other byte on, both tails fold.
  const std::size_t size = std::min(a.size(), b.size());
  std::size_t i = 0;
  for (; i < size; ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 0x80 || y >= 0x80) break;
    if (x != y && (x | 0x20) != (y | 0x20)) return false;
    if (x != y && ((x | 0x20) < 'a' || (x | 0x20) > 'z')) return false;
  }
  if (i == size) return a.size() == b.size();
  return FoldLetterCase(a.substr(i)) == FoldLetterCase(b.substr(i));
}

bool WrittenOneWay(std::string_view path) {
  static const std::string sep(kPathSeparatorText);
  static const std::string twice = sep + sep, dot = sep + "." + sep, dots = sep + ".." + sep;
  return path.find(twice) == std::string_view::npos && path.find(dot) == std::string_view::npos &&
         path.find(dots) == std::string_view::npos;
}

std::string NormalFolder(std::string_view folder) {
  static const std::string sep(kPathSeparatorText);
  if (WrittenOneWay(folder)) return std::string(folder);
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start < folder.size()) {
    std::size_t end = folder.find(kPathSeparator, start);
    if (end == std::string_view::npos) end = folder.size();
    const std::string_view part = folder.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out = folder.starts_with(kPathSeparatorText) ? sep : std::string();
  for (const std::string_view part : parts) out.append(part).append(sep);
  return out;
}

std::string_view DiskModel::Keep(std::string_view name) {
  constexpr std::size_t kBlock = std::size_t{64} * 1024;
  if (name.size() > left_) {
    left_ = std::max(name.size(), kBlock);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(left_));
    at_ = blocks_.back().get();
  }
  char* copy = at_;
  name.copy(copy, name.size());
  at_ += name.size();
  left_ -= name.size();
  return {copy, name.size()};
}

std::uint32_t DiskModel::Spelling(std::string_view name) {
  spellings_.push_back(Keep(name));
  return static_cast<std::uint32_t>(spellings_.size() - 1);
}

std::string_view DiskModel::Key(const Folder& folder, std::string_view name, std::string& folded) {
  if (!folder.ignoresCase) return name;
  folded = CaselessName(name);
  return folded;
}

DiskModel::Folder& DiskModel::FolderFor(std::string_view path, std::string_view& name) {
  // Most paths lie in the folder asked about last; a forward search for the
  // separator is quicker than cutting the path from its end. The rest lies
  // apart, so that this stays small enough to inline.
  const std::size_t size = lastPath_.size();
  if (last_ != nullptr && path.size() > size &&
      std::memcmp(path.data(), lastPath_.data(), size) == 0 &&
      std::memchr(path.data() + size, kPathSeparator, path.size() - size) == nullptr) {
    name = path.substr(size);
    return *last_;
  }
  return OtherFolder(path, name);
}

DiskModel::Folder& DiskModel::OtherFolder(std::string_view path, std::string_view& name) {
  const std::size_t nameStart = FileNameStart(path);
  name = path.substr(nameStart);
  const std::string_view raw = path.substr(0, nameStart);
  if (last_ != nullptr && raw == lastPath_) return *last_;
  std::string normal = NormalFolder(raw);
  std::unique_ptr<Folder>& slot = folders_[normal];
  if (slot == nullptr) {
    slot = std::make_unique<Folder>();
    Folder& folder = *slot;
    folder.path = std::move(normal);
    std::vector<FolderItem> items;
    const bool listed = disk_.ListFolder(folder.path, items);
    if (listed) {
      folder.ignoresCase = disk_.IgnoresCase(folder.path);
      folder.kind = disk_.FolderKind(folder.path);
      if (folder.ignoresCase && !Fill(folder, items, true)) {
        // Two names equal but for case: whatever the mount type says, this
        // folder tells its spellings apart.
        folder.ignoresCase = false;
        folder.names.Clear();
      }
      if (!folder.ignoresCase) Fill(folder, items, false);
    } else if (disk_.Probe(folder.path) == PathKind::kOther) {
      // Readable for renames but not for listing: ask name by name.
      folder.probing = true;
      folder.ignoresCase = disk_.IgnoresCase(folder.path);
      folder.kind = disk_.FolderKind(folder.path);
    } else {
      folder.missing = true;
    }
  }
  lastPath_.assign(raw);
  last_ = slot.get();
  return *last_;
}

bool DiskModel::Fill(Folder& folder, const std::vector<FolderItem>& items, bool caseless) {
  // Room for a new name beside each listed one, as a rename of the whole
  // folder brings: the table is not built twice halfway through the walk.
  folder.names.Reserve(items.size() * 2);
  std::string folded;
  for (const FolderItem& item : items) {
    if (caseless) folded = CaselessName(item.name);
    bool added = false;
    Occupant& occupant =
        folder.names.Insert(caseless ? std::string_view(folded) : item.name, &added);
    if (!added) return false;
    occupant.owner = kNoOwner;
    occupant.file = item.file;
    if (caseless) occupant.spelling = Spelling(item.name);
  }
  return true;
}

Occupant* DiskModel::Locate(std::string_view path, Folder*& where, std::string_view& name,
                            std::string_view& key, std::string& folded) {
  Folder& folder = FolderFor(path, name);
  where = &folder;
  key = Key(folder, name, folded);
  if (folder.missing) return nullptr;
  if (folder.probing && folder.probed.emplace(key).second) {
    const PathKind kind = disk_.Probe(folder.path + std::string(name));
    if (kind != PathKind::kNone) {
      Occupant& occupant = folder.names.Insert(key);
      occupant = {kNoOwner, kind == PathKind::kFile, false, Spelling(name)};
      return &occupant;
    }
  }
  return folder.names.Find(key);
}

Place DiskModel::Find(std::string_view path) {
  Folder* folder = nullptr;
  std::string_view name, key;
  std::string folded;
  Occupant* const occupant = Locate(path, folder, name, key, folded);
  if (folder->missing) return {true, false, name, nullptr, {}, folder->kind};
  const std::string_view spelled = occupant != nullptr ? spellings_[occupant->spelling] : "";
  return {false, folder->ignoresCase, name, occupant, spelled, folder->kind};
}

Occupant* DiskModel::OccupantAt(std::string_view path) {
  std::string_view name;
  Folder& folder = FolderFor(path, name);
  if (folder.missing || folder.probing || folder.ignoresCase) {
    return Find(path).occupant;
  }
  return folder.names.Find(name);
}

void DiskModel::Remove(std::string_view path) {
  std::string_view name;
  Folder& folder = FolderFor(path, name);
  std::string folded;
  const std::string_view key = Key(folder, name, folded);
  folder.names.Erase(key);
  if (folder.probing) folder.probed.emplace(key);
}

bool DiskModel::Take(std::string_view path, Occupant& taken) {
  Folder* folder = nullptr;
  std::string_view name, key;
  std::string folded;
  Occupant* const occupant = Locate(path, folder, name, key, folded);
  if (occupant == nullptr || !occupant->file) return false;
  taken = std::move(*occupant);
  folder->names.Erase(key);
  return true;
}

void DiskModel::Put(std::string_view path, int owner) {
  std::string_view name;
  Folder& folder = FolderFor(path, name);
  std::string folded;
  const std::string_view key = Key(folder, name, folded);
  if (folder.probing) folder.probed.emplace(key);
  Occupant& occupant = folder.names.Insert(key);
  occupant.owner = owner;
  occupant.file = true;
  occupant.leaving = false;
  occupant.spelling = folder.ignoresCase ? Spelling(name) : 0;
}

bool DiskModel::SamePlace(std::string_view a, std::string_view b) {
  const std::size_t startA = FileNameStart(a);
  const std::size_t startB = FileNameStart(b);
  const std::string_view nameA = a.substr(startA);
  const std::string_view nameB = b.substr(startB);
  // Folding keeps every name's length; most names differ beyond case.
  if (nameA.size() != nameB.size()) return false;
  const bool sameName = nameA == nameB;
  if (!sameName && !EqualCaseless(nameA, nameB)) return false;
  std::string_view ignored;
  const Folder* folderA = &FolderFor(a, ignored);
  if (a.substr(0, startA) != b.substr(0, startB) && folderA != &FolderFor(b, ignored)) return false;
  return sameName || folderA->ignoresCase;
}

bool DiskModel::IgnoresCase(std::string_view path) {
  std::string_view name;
  return FolderFor(path, name).ignoresCase;
}

FileSystemKind DiskModel::KindOf(std::string_view path) {
  std::string_view name;
  return FolderFor(path, name).kind;
}

std::string DiskModel::PlaceKey(std::string_view path) {
  std::string_view name;
  const Folder& folder = FolderFor(path, name);
  std::string folded;
  return folder.path + std::string(Key(folder, name, folded));
}

}  // namespace velmora
