#include "cli/console.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "engine/error_numbers.h"
#include "services/crash_guard.h"
#include "services/error_log.h"
#include "services/journal.h"
#include "services/journal_format.h"
#include "services/language.h"

namespace velmora::cli {

class Reporting::Counter : public ErrorReporter {
 public:
  Counter(ErrorReporter& inner, MessageSink& messages, LogWriter& log)
      : inner_(inner), messages_(messages), log_(log) {}
  void ReportError(Location location, int number, const std::string& context,
                   const std::string& file, const std::string& description) override {
    ++count;
    if (number != kRegexLimit) {
      inner_.ReportError(location, number, context, file, description);
      return;
    }
    // The slot rests for the rest of the run: one line names the file and
    // the pattern; the log keeps the whole entry.
    log_.WriteLog(ErrorMessageText(number, context, file, description), location);
    messages_.ShowMessage(
        "velmora-cli: " +
        WithArgs(Tr("velmora", "Grenze des regulären Ausdrucks erreicht: %1, Muster %2"),
                 {file, description}));
  }
  int count = 0;

 private:
  ErrorReporter& inner_;
  MessageSink& messages_;
  LogWriter& log_;
};

std::string ConsoleName(std::string_view name) { return EscapeJournalText(name); }

void AppendConsoleName(std::string& out, std::string_view name) {
  // Most names have nothing to escape: copied in one piece.
  if (!NeedsEscape(name)) {
    out.append(name);
  } else {
    out += EscapeJournalText(name);
  }
}

std::string ConsoleText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", begin);
    out += ConsoleName(std::string_view(text).substr(begin, end - begin));
    if (end == std::string::npos) return out;
    out += '\n';
    begin = end + 2;
  }
}

void PrintProblem(const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "velmora-cli: %s\n", ConsoleName(Translated(text)).c_str());
}

void StderrMessages::ShowMessage(const std::string& text) {
  ++count_;
  // Standard output may be buffered into a pipe; keep the order a reader sees.
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", ConsoleText(Translated(text)).c_str());
}

Reporting::Reporting(bool withLogFile) {
  if (withLogFile) {
    // One command is one run: the file stays open for its entries.
    log_ = std::make_unique<FileLogWriter>(LogPathIn(ChooseLogFolder(ProgramFolder())), messages_,
                                           /*keepOpen=*/true);
  } else {
    log_ = std::make_unique<NullLog>();
  }
  errorLog_ = std::make_unique<ErrorLog>(messages_, *log_);
  counter_ = std::make_unique<Counter>(*errorLog_, messages_, *log_);
}

Reporting::~Reporting() = default;

MessageSink& Reporting::messages() { return messages_; }
ErrorReporter& Reporting::reporter() { return *counter_; }
LogWriter& Reporting::log() { return *log_; }
int Reporting::Failures() const { return counter_->count; }
// Every failure is shown as a message too.
int Reporting::Notes() const { return std::max(0, messages_.Count() - counter_->count); }
bool Reporting::AnyProblem() const { return counter_->count > 0 || messages_.Count() > 0; }

void SetUpStandardOutput() {
  // A write per step costs as much as the rename itself; a reader on a
  // terminal still sees each step as it happens.
  // glibc takes the size only with a buffer of our own: without one it
  // allocates a block of the file's st_blksize (4 KiB for a pipe).
  constexpr std::size_t kBlock = 1u << 16;
  if (::isatty(STDOUT_FILENO) == 1) {
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  } else {
    static char block[kBlock];
    std::setvbuf(stdout, block, _IOFBF, kBlock);
  }
}

void StepPrinter::Committed(const std::string& source, const std::string& destination) {
  constexpr std::string_view kArrow = " -> ";
  if (!NeedsEscape(source) && !NeedsEscape(destination)) {
    // A line a step: written into room made once.
    line_.resize(source.size() + kArrow.size() + destination.size() + 1);
    char* at = std::copy(source.begin(), source.end(), line_.data());
    at = std::copy(kArrow.begin(), kArrow.end(), at);
    at = std::copy(destination.begin(), destination.end(), at);
    *at = '\n';
  } else {
    line_.clear();
    AppendConsoleName(line_, source);
    line_ += kArrow;
    AppendConsoleName(line_, destination);
    line_ += '\n';
  }
  // The run prints from one thread; the stream's lock is not needed.
  ::fwrite_unlocked(line_.data(), 1, line_.size(), stdout);
  TestSignalPoint("committed");
}

}  // namespace velmora::cli
