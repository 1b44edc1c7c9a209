#include "services/error_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <utility>

#include "engine/path.h"
#include "services/error_text.h"
#include "services/language.h"
#include "services/own_file.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

constexpr const char* kLineEnd = "\r\n";

// A log left in a system folder outlives the package that put the program
// there, so beside the program only in a folder of the user's own.
bool OwnProgramFolder(const std::string& folder) {
  for (const std::string_view system : {"/usr", "/opt", "/bin", "/sbin", "/lib"}) {
    if (folder.starts_with(system) &&
        (folder.size() == system.size() || folder[system.size()] == kPathSeparator ||
         system == "/lib")) {  // lib32, lib64, libx32 too
      return false;
    }
  }
  struct stat st {};
  return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::geteuid() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Creates folder and its missing parents for the user alone; true when it
// is a folder afterwards.
bool MakeOwnFolders(const std::string& folder) {
  struct stat st {};
  return !MakeFolders(folder, 0700) && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string SignedNumberText(int number) {
  std::string text = number < 0 ? "" : " ";
  text += std::to_string(number);
  return text;
}

std::string ErrorMessageText(int number, const std::string& context, const std::string& file,
                             const std::string& description) {
  std::string text = Translated(context) + kLineEnd;
  if (!file.empty()) text += "in File: " + file + kLineEnd;
  text += kLineEnd;
  text += Tr("velmora", "Fehler: ") + SignedNumberText(number) + kLineEnd;
  text += ErrorText(number, ErrorTextLanguage()) + kLineEnd;
  text += kLineEnd;
  text += "( " + description + " )";
  return text;
}

std::string LogPathIn(const std::string& folder) {
  return WithTrailingSeparator(folder) + kLogFileName;
}

std::string ProgramFolder() {
  std::string buffer(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
  buffer.resize(static_cast<std::size_t>(n));
  const std::size_t cut = buffer.rfind(kPathSeparator);
  return cut == 0 ? std::string(kPathSeparatorText) : buffer.substr(0, cut);
}

std::string ChooseLogFolder(const std::string& programFolder) {
  if (OwnProgramFolder(programFolder)) return programFolder;
  const std::string folder = StateFolder();
  if (folder.empty()) return programFolder;
  // A folder that cannot be made costs a message per entry, never a file
  // in the system's folders.
  (void)MakeOwnFolders(folder);
  return folder;
}

std::string CurrentDateTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
  return text;
}

std::string BannerLine(const std::string& dateTime, int major, int minor, int revision) {
  return "------ " + dateTime + " ------ V" + std::to_string(major) + "." + std::to_string(minor) +
         "." + std::to_string(revision) + " ------";
}

FileLogWriter::FileLogWriter(std::string path, MessageSink& messages, bool keepOpen)
    : path_(std::move(path)), messages_(messages), keepOpen_(keepOpen) {}

FileLogWriter::~FileLogWriter() {
  if (fd_ >= 0) ::close(fd_);
}

void FileLogWriter::WriteLog(const std::string& text, Location location) {
  std::string entry;
  if (location != Location::kNone) {
    entry = "Location: " + SignedNumberText(LocationNumber(location)) + kLineEnd;
  }
  entry += text + kLineEnd;

  // Never through a link or into another user's file planted in its place.
  bool ok = fd_ >= 0 || !OpenOwnFileForAppend(path_, 0644, fd_);
  if (ok) {
    ok = !WriteAll(fd_, entry);
    if (!keepOpen_ || !ok) {
      ok = ::close(fd_) == 0 && ok;
      fd_ = -1;
    }
  }
  if (!ok) messages_.ShowMessage(VELMORA_TEXT("velmora", "Logfile konnte nicht geöffnet werden"));
}

void ErrorLog::ReportError(Location location, int number, const std::string& context,
                           const std::string& file, const std::string& description) {
  ++reported_;
  const std::string message = ErrorMessageText(number, context, file, description);
  messages_.ShowMessage(message);
  log_.WriteLog(message, location);
}

void PrepareLog(FileSystem& fileSystem, LogWriter& log, const std::string& logPath,
                const std::string& dateTime, int major, int minor, int revision) {
  if (fileSystem.GetFile(logPath)) return;
  if (fileSystem.Delete(logPath)) return;
  log.WriteLog(BannerLine(dateTime, major, minor, revision), Location::kNone);
}

}  // namespace velmora
