// Helpers shared by the tag tests: a scratch folder, whole-file access and a
// reporter that records every failure.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/error_reporter.h"

namespace velmora::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-tags-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Audio stand-in: n bytes that never begin with "TAG".
inline std::string Audio(std::size_t n) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(0x80 + i % 97);
  return bytes;
}

struct ReportedError {
  int location, number;
  std::string context, file;
};

struct RecordingReporter : ErrorReporter {
  void ReportError(int location, int number, const std::string& context, const std::string& file,
                   const std::string&) override {
    reports.push_back({location, number, context, file});
  }
  std::vector<ReportedError> reports;
};

}  // namespace velmora::testing
