// The small interfaces through which the engine reports failures and shows
// messages. The window and the command line implement them; tests record them.
#pragma once

#include <string>

namespace velmora {

// A failure as a value: an error number of the message table and the
// platform's description. Number 0 means success. Dropping one unread is a
// mistake; where ignoring it is right, the caller says so with (void).
struct [[nodiscard]] Error {
  int number = 0;
  std::string description;

  [[nodiscard]] bool ok() const { return number == 0; }
  explicit operator bool() const { return number != 0; }
};

// Where a failure was caught; the log writes the number ("Location:  20").
// kNone writes no location line.
enum class Location : int {
  kNone = 0,
  kStartUp = 1,
  kRun = 2,             // RunBatch
  kFirstOperation = 3,  // name operation 1; operation code c reports at c + 2
  kLastOperation = 19,  // name operation 17
  kCommit = 20,         // CommitFile
  kDeleteTarget = 21,   // DeleteTarget
  kReadTag = 22,
  kWriteTag = 23,
  kFillTagEditor = 24,
  kTagRun = 25,  // the tag editor's write command
  kGenreIndex = 26,
  kFromTags = 27,  // name operation 18: code + 2 would be kCommit
  kRegexReplace = 28,
  kTransliterate = 29,
};

// The location of name operation code (1..20): code + 2 up to 17, then the
// numbers behind the others.
constexpr Location OperationLocation(int code) {
  if (code > 17) return static_cast<Location>(static_cast<int>(Location::kFromTags) + code - 18);
  return static_cast<Location>(static_cast<int>(Location::kFirstOperation) + code - 1);
}

// The number the log writes for location.
constexpr int LocationNumber(Location location) { return static_cast<int>(location); }

// Receives every caught failure: where it was caught, its error number, the
// German context text, the file concerned (or empty) and the platform's
// description.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void ReportError(Location location, int number, const std::string& context,
                           const std::string& file, const std::string& description) = 0;
};

// A modal message with an OK button only, titled with the application's name.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

// Appends one entry to the log file: a "Location: " line with its number
// first when location is not kNone, then the text. Never fails towards the caller.
class LogWriter {
 public:
  virtual ~LogWriter() = default;
  virtual void WriteLog(const std::string& text, Location location) = 0;
};

}  // namespace velmora
