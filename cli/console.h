// How the command line shows what the window shows in message boxes: every
// message and every reported failure goes to standard error in the window's
// text, failures also to the log file, and each step that went through is
// printed as "OLD -> NEW" on standard output, names escaped to one line.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/batch_run_state.h"
#include "engine/error_reporter.h"

namespace velmora::cli {

// A name or path on one line: backslash, tab, line feed and carriage return
// escaped as in the journal.
std::string ConsoleName(std::string_view name);
// Appends ConsoleName(name) to out.
void AppendConsoleName(std::string& out, std::string_view name);

// A message as a terminal wants it: each CR LF (the message's own line
// breaks) a plain line end, everything between as ConsoleName shows it, so a
// name in the message stays on its line.
std::string ConsoleText(const std::string& text);

// Writes "velmora-cli: " + text on one line (as ConsoleName) to standard error.
void PrintProblem(const std::string& text);

// The message boxes of the window: each message on standard error.
class StderrMessages : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override;
  [[nodiscard]] int Count() const { return count_; }

 private:
  int count_ = 0;
};

// A log that keeps nothing (a dry run writes no file).
class NullLog : public LogWriter {
 public:
  void WriteLog(const std::string&, Location) override {}
};

// The reporting side of one command: messages on standard error, failures
// shown there and appended to the log file beside the program (or none when
// withLogFile is false), and whether anything went wrong.
class Reporting {
 public:
  explicit Reporting(bool withLogFile = true);
  ~Reporting();
  Reporting(const Reporting&) = delete;
  Reporting& operator=(const Reporting&) = delete;

  MessageSink& messages();
  ErrorReporter& reporter();
  LogWriter& log();

  // Number of failures reported so far.
  [[nodiscard]] int Failures() const;
  // Number of messages shown so far that were no reported failure (a step
  // left out, such as a kept target).
  [[nodiscard]] int Notes() const;
  // True when a failure was reported or a message shown: the step it
  // concerns did not go through.
  [[nodiscard]] bool AnyProblem() const;

 private:
  class Counter;
  StderrMessages messages_;
  std::unique_ptr<LogWriter> log_;
  std::unique_ptr<ErrorReporter> errorLog_;
  std::unique_ptr<Counter> counter_;
};

// Standard output line by line on a terminal; into a file or a pipe in large
// blocks, which is flushed before every question and message and at the end.
// Called once, before anything is printed.
void SetUpStandardOutput();

// Prints "OLD -> NEW" for every step that went through.
class StepPrinter : public CommitObserver {
 public:
  void Committed(const std::string& source, const std::string& destination) override;

 private:
  std::string line_;  // its room is reused line after line
};

}  // namespace velmora::cli
