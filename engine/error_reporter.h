// The small interfaces through which the engine reports failures and shows
// messages. The window and the command line implement them; tests record them.
#pragma once

#include <string>

namespace velmora {

// A failure as a value: an error number of the message table and the
// platform's description. Number 0 means success.
struct Error {
  int number = 0;
  std::string description;

  bool ok() const { return number == 0; }
  explicit operator bool() const { return number != 0; }
};

// Receives every caught failure: where it was caught (location 1..26, 0 for
// none), its error number, the German context text, the file concerned (or
// empty) and the platform's description.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void ReportError(int location, int number, const std::string& context,
                           const std::string& file, const std::string& description) = 0;
};

// A modal message with an OK button only, titled with the application's name.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

// Appends one entry to the log file: a "Location: " line first when location
// is not 0, then the text. Never fails towards the caller.
class LogWriter {
 public:
  virtual ~LogWriter() = default;
  virtual void WriteLog(const std::string& text, int location) = 0;
};

}  // namespace velmora
