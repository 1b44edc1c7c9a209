#include "engine/path.h"

#include <cstring>

#include "engine/error_numbers.h"

namespace velmora {

std::size_t FileNameStart(std::string_view path) {
  // Asked several times a step: glibc's memrchr looks at many bytes at once.
  const void* last = path.empty() ? nullptr : ::memrchr(path.data(), kPathSeparator, path.size());
  return last == nullptr
             ? 0
             : static_cast<std::size_t>(static_cast<const char*>(last) - path.data()) + 1;
}

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

std::string_view FolderOf(std::string_view path) { return path.substr(0, FileNameStart(path)); }

std::string_view FileNameOf(std::string_view path) { return path.substr(FileNameStart(path)); }

bool IsSingleName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find(kPathSeparator) == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

bool NameRefusedOn(FileSystemKind kind, std::string_view name) {
  if (kind != FileSystemKind::kFat && kind != FileSystemKind::kExfat) return false;
  if (!name.empty() && (name.back() == '.' || name.back() == ' ')) return true;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
    if (std::string_view(":*?\"<>|\\").find(c) != std::string_view::npos) return true;
  }
  return false;
}

std::string SplitPath(const std::string& path, bool wantFolder, RunKind kind,
                      const std::string& destPath) {
  if (!wantFolder) return std::string(FileNameOf(path));
  if (IntoFolder(kind)) return destPath;
  return std::string(FolderOf(path));
}

std::string SplitExtension(const std::string& name, bool wantBase, Error* error) {
  const std::size_t dot = name.rfind('.');
  if (!wantBase) return dot == std::string::npos ? name : name.substr(dot + 1);
  if (dot == std::string::npos) {
    if (error != nullptr) *error = InvalidArgumentError();
    return {};
  }
  return name.substr(0, dot);
}

}  // namespace velmora
