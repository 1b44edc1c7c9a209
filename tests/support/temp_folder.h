// The real disk in tests: a fresh folder removed with its contents at the
// end, whole-file helpers, a file-size limit that makes writes fail as on a
// full disk, and an environment variable set for one scope.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/path.h"

namespace velmora::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& base = std::filesystem::temp_directory_path().string()) {
    std::string pattern = base + kPathSeparator + "velmora-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern + kPathSeparator;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }  // ends in the separator
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Creates the folders on the way.
inline void WriteFile(const std::string& path, const std::string& content) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::ofstream(path, std::ios::binary) << content;
}
inline std::string ReadFile(const std::string& path) {  // in one go: some files are large
  std::ostringstream out;
  out << std::ifstream(path, std::ios::binary).rdbuf();
  return out.str();
}
// How often needle occurs in the file at path.
inline int CountIn(const std::string& path, const std::string& needle) {
  const std::string text = ReadFile(path);
  int count = 0;
  for (std::size_t at = 0; (at = text.find(needle, at)) != std::string::npos; ++at) ++count;
  return count;
}
inline bool FileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }
// Each file under prefix, holding its own name.
inline void WriteFiles(const std::string& prefix, const std::vector<std::string>& names) {
  for (const std::string& name : names) WriteFile(prefix + name, name);
}

using Names = std::vector<std::string>;

// count names made by format from 0 on, in order; in folder, each holding its name.
inline Names Numbered(const char* format, int count, const std::string& folder = "") {
  Names names;
  for (int i = 0; i < count; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, format, i);
    names.push_back(name);
  }
  if (!folder.empty()) WriteFiles(folder, names);
  return names;
}

// The names in folder (files and folders), sorted.
inline Names Listing(const std::string& folder) {
  Names names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Every file directly in the folders, by path, with its content.
inline std::map<std::string, std::string> Snapshot(const Names& folders) {
  std::map<std::string, std::string> disk;
  for (const std::string& folder : folders) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.is_regular_file()) disk[entry.path().string()] = ReadFile(entry.path().string());
    }
  }
  return disk;
}

inline struct stat StatOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st;
}

// The modification time in nanoseconds.
inline long long Modified(const std::string& path) {
  const timespec at = StatOf(path).st_mtim;
  return at.tv_sec * 1000000000LL + at.tv_nsec;
}
inline bool SetModified(const std::string& path, long long seconds, long nanoseconds = 0) {
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

// While this lives no file of the process may grow beyond limit bytes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

// Sets (or with nullptr removes) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace velmora::testing
