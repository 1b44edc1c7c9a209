// Shared by the operation tests: a reporter that records every call and a
// one-slot job runner.
#pragma once

#include <string>
#include <vector>

#include "engine/job.h"

namespace velmora::testing {

struct ReportedError {
  int location;
  int number;
  std::string context;
  std::string file;
  std::string description;
};

class RecordingReporter : public ErrorReporter {
 public:
  void ReportError(int location, int number, const std::string& context,
                   const std::string& file, const std::string& description) override {
    calls.push_back({location, number, context, file, description});
  }
  std::vector<ReportedError> calls;
};

class RecordingMessages : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

inline constexpr const char* kFolder = "/musik/";

// A job with `code` in slot 1 (the middle one, so slot indexing is exercised).
inline RenameJob OneSlotJob(int code, const std::string& first, const std::string& second) {
  RenameJob job;
  job.slotCode[1] = code;
  job.txtSource[1] = first;
  job.txtDestination[1] = second;
  return job;
}

// Applies `code` to /musik/<name> and returns the new name without the
// folder, or "<empty>" for the empty result, or "<bad folder>" when the
// result does not start with the folder.
inline std::string NewName(int code, const std::string& first, const std::string& second,
                           const std::string& name, NameContext& ctx) {
  const std::string result = ApplyOperation(OneSlotJob(code, first, second), 1,
                                            kFolder + name, ctx);
  if (result.empty()) return "<empty>";
  if (result.rfind(kFolder, 0) != 0) return "<bad folder>";
  return result.substr(std::string(kFolder).size());
}

// A table row: operation code, the two fields, the name and the expected new
// name ("<empty>" when the operation does not apply).
struct OperationRow {
  int code;
  const char* first;
  const char* second;
  const char* name;
  const char* expected;
};

}  // namespace velmora::testing
