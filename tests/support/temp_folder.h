// A fresh folder for one test on the real disk, removed with everything in it
// when the test ends; plus small helpers to write and read whole files.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/path.h"

namespace velmora::testing {

class TempFolder {
 public:
  // A new folder inside base (the system's temporary folder by default).
  explicit TempFolder(const std::string& base = std::filesystem::temp_directory_path().string()) {
    std::string pattern = base + kPathSeparator + "velmora-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern + kPathSeparator;
  }
  ~TempFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  // The folder with its trailing separator, or the path of name inside it.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool FileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

}  // namespace velmora::testing
