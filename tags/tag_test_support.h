// Helpers shared by the tag tests: audio bytes and a reporter that records
// every failure; the scratch folder comes from the common test support.
#pragma once

#include <string>
#include <vector>

#include "engine/error_reporter.h"
#include "tests/support/temp_folder.h"

namespace velmora::testing {

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
