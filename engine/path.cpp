#include "engine/path.h"

#include "engine/error_numbers.h"

namespace velmora {

std::string_view FolderOf(std::string_view path) {
  const std::size_t last = path.rfind(kPathSeparator);
  return last == std::string_view::npos ? std::string_view{} : path.substr(0, last + 1);
}

std::string_view FileNameOf(std::string_view path) {
  const std::size_t last = path.rfind(kPathSeparator);
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string SplitPath(const std::string& path, bool wantFolder, const RunFlags& flags,
                      const std::string& destPath) {
  if (!wantFolder) return std::string(FileNameOf(path));
  if (flags.copyFiles || flags.moveFiles) return destPath;
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
