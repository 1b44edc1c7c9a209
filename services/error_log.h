// The log file `LogFile.Log` and the one error reporter: every caught failure
// is shown in a message box and then appended to the log; runs and the tag
// editor append their own entries while the log option is on.
#pragma once

#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"

namespace velmora {

inline constexpr const char* kLogFileName = "LogFile.Log";

// The program's signed-number text: a blank before zero and positive numbers,
// "-" before negative ones (53 gives " 53").
std::string SignedNumberText(int number);

// The text of one failure: context, "in File: " + file (only when file is not
// empty), "", "Fehler: " + number, the German message, "", "( " + description
// + " )", joined by CR LF.
std::string ErrorMessageText(int number, const std::string& context, const std::string& file,
                             const std::string& description);

// folder + "LogFile.Log", with a separator between unless folder ends in one.
std::string LogPathIn(const std::string& folder);

// The folder holding the running program; "" when it cannot be found.
std::string ProgramFolder();

// Where the log goes: programFolder when it belongs to the user running the
// program, can be written and lies outside /usr, /opt, /bin, /sbin and /lib;
// else $XDG_STATE_HOME/velmora (default ~/.local/state/velmora), created on
// demand.
std::string ChooseLogFolder(const std::string& programFolder);

// The current local date and time as "dd.mm.yyyy hh:mm:ss".
std::string CurrentDateTimeText();

// "------ " + dateTime + " ------ V" + major.minor.revision + " ------".
std::string BannerLine(const std::string& dateTime, int major, int minor, int revision);

// Appends entries to one log file, each with one write, so every entry is
// in the file when WriteLog returns. Opened for each entry, or with keepOpen
// once (for a process that is one run) and held until destruction. A failure
// shows "Logfile konnte nicht geöffnet werden" through messages; the entry is
// lost, and the next entry opens the file again.
class FileLogWriter : public LogWriter {
 public:
  FileLogWriter(std::string path, MessageSink& messages, bool keepOpen = false);
  ~FileLogWriter() override;
  FileLogWriter(const FileLogWriter&) = delete;
  FileLogWriter& operator=(const FileLogWriter&) = delete;
  void WriteLog(const std::string& text, Location location) override;
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
  MessageSink& messages_;
  bool keepOpen_;
  int fd_ = -1;
};

// Shows each failure's message, then writes it to the log with its location.
class ErrorLog : public ErrorReporter {
 public:
  ErrorLog(MessageSink& messages, LogWriter& log) : messages_(messages), log_(log) {}
  void ReportError(Location location, int number, const std::string& context,
                   const std::string& file, const std::string& description) override;
  // Failures reported so far; the window tells a run's own in its status line.
  [[nodiscard]] int reportedCount() const { return reported_; }

 private:
  MessageSink& messages_;
  LogWriter& log_;
  int reported_ = 0;
};

// Start-up's log preparation: when a file exists at logPath and can be
// deleted, deletes it and writes the banner. Otherwise writes nothing; no
// failure is reported.
void PrepareLog(FileSystem& fileSystem, LogWriter& log, const std::string& logPath,
                const std::string& dateTime, int major, int minor, int revision);

}  // namespace velmora
