#include "engine/plan_model.h"

#include <vector>

#include "engine/path.h"

namespace velmora {

std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto c = static_cast<unsigned char>(folded[i]);
    if (c >= 'A' && c <= 'Z') {
      folded[i] = static_cast<char>(c + ('a' - 'A'));
    } else if (c == 0xC3 && i + 1 < folded.size()) {
      // U+00C0..U+00DE are C3 80..C3 9E; U+00D7 (multiplication sign) is no letter.
      const auto next = static_cast<unsigned char>(folded[i + 1]);
      if (next >= 0x80 && next <= 0x9E && next != 0x97) folded[i + 1] = static_cast<char>(next + 0x20);
      ++i;
    }
  }
  return folded;
}

std::string NormalFolder(std::string_view folder) {
  const std::string sep(kPathSeparatorText);
  const bool clean = folder.find(sep + sep) == std::string_view::npos &&
                     folder.find(sep + "." + sep) == std::string_view::npos &&
                     folder.find(sep + ".." + sep) == std::string_view::npos;
  if (clean) return std::string(folder);
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

std::string DiskModel::Key(const Folder& folder, std::string_view name) const {
  return folder.ignoresCase ? FoldCase(name) : std::string(name);
}

DiskModel::Folder& DiskModel::FolderFor(std::string_view path) {
  const std::string_view raw = FolderOf(path);
  if (last_ != nullptr && raw == lastPath_) return *last_;
  std::string normal = NormalFolder(raw);
  std::unique_ptr<Folder>& slot = folders_[normal];
  if (slot == nullptr) {
    slot = std::make_unique<Folder>();
    Folder& folder = *slot;
    folder.path = std::move(normal);
    std::vector<FolderItem> items;
    if (disk_.ListFolder(folder.path, items)) {
      folder.ignoresCase = disk_.IgnoresCase(folder.path);
      folder.names.reserve(items.size());
      for (FolderItem& item : items) {
        std::string key = Key(folder, item.name);
        folder.names.emplace(std::move(key), Occupant{kNoOwner, item.file, std::move(item.name)});
      }
    } else if (disk_.Probe(folder.path) == PathKind::kOther) {
      // Readable for renames but not for listing: ask name by name.
      folder.probing = true;
      folder.ignoresCase = disk_.IgnoresCase(folder.path);
    } else {
      folder.missing = true;
    }
  }
  lastPath_.assign(raw);
  last_ = slot.get();
  return *last_;
}

Place DiskModel::Find(std::string_view path) {
  Folder& folder = FolderFor(path);
  if (folder.missing) return {true, nullptr};
  const std::string_view name = FileNameOf(path);
  std::string key = Key(folder, name);
  if (folder.probing && folder.probed.insert(key).second) {
    const PathKind kind = disk_.Probe(folder.path + std::string(name));
    if (kind != PathKind::kNone) {
      folder.names.emplace(key, Occupant{kNoOwner, kind == PathKind::kFile, std::string(name)});
    }
  }
  const auto it = folder.names.find(key);
  return {false, it == folder.names.end() ? nullptr : &it->second};
}

void DiskModel::Remove(std::string_view path) {
  Folder& folder = FolderFor(path);
  std::string key = Key(folder, FileNameOf(path));
  folder.names.erase(key);
  if (folder.probing) folder.probed.insert(std::move(key));
}

void DiskModel::Put(std::string_view path, int owner) {
  Folder& folder = FolderFor(path);
  const std::string_view name = FileNameOf(path);
  std::string key = Key(folder, name);
  if (folder.probing) folder.probed.insert(key);
  folder.names.insert_or_assign(std::move(key), Occupant{owner, true, std::string(name)});
}

bool DiskModel::IgnoresCase(std::string_view path) { return FolderFor(path).ignoresCase; }

}  // namespace velmora
