#include "cli/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "services/posix_file_system.h"

namespace velmora::cli {
namespace {

constexpr int kErrBadFormat = 321;
constexpr char kFieldSeparator = '\t';

bool Unescape(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return false;
    }
  }
  return true;
}

bool IsKind(char c) { return c >= '0' && c <= '3'; }

std::string Lines(const std::vector<UndoRecord>& records) {
  std::string text;
  for (const UndoRecord& record : records) text += JournalLine(record) + '\n';
  return text;
}

}  // namespace

std::string EscapeJournalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string JournalLine(const UndoRecord& record) {
  return std::string(1, record.kind) + kFieldSeparator + EscapeJournalText(record.source) +
         kFieldSeparator + EscapeJournalText(record.dest);
}

bool ParseJournalLine(std::string_view line, UndoRecord& record) {
  if (line.size() < 2 || !IsKind(line[0]) || line[1] != kFieldSeparator) return false;
  const std::string_view rest = line.substr(2);
  const std::size_t cut = rest.find(kFieldSeparator);
  if (cut == std::string_view::npos || rest.find(kFieldSeparator, cut + 1) != std::string_view::npos) {
    return false;
  }
  record.kind = line[0];
  return Unescape(rest.substr(0, cut), record.source) && !record.source.empty() &&
         Unescape(rest.substr(cut + 1), record.dest);
}

Error ReadJournal(const std::string& path, std::vector<UndoRecord>& records) {
  records.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return ErrorFromErrno(errno);
  std::string text;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (readError) return ErrorFromErrno(EIO);

  std::size_t lineNumber = 0;
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + begin, end - begin);
    begin = end + 1;
    ++lineNumber;
    // Written CRs are escaped; a bare one at the end comes from an editor.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    UndoRecord record;
    if (!ParseJournalLine(line, record)) {
      return {kErrBadFormat, "Invalid journal line " + std::to_string(lineNumber)};
    }
    records.push_back(std::move(record));
  }
  return {};
}

Error AppendJournal(const std::string& path, const std::vector<UndoRecord>& records) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return ErrorFromErrno(errno);
  std::string text = Lines(records);
  const off_t oldSize = ::lseek(fd, 0, SEEK_END);
  if (oldSize == 0) text = std::string(kJournalHeader) + '\n' + text;
  Error error = WriteAll(fd, text);
  // A half-written record would make the whole journal unreadable.
  if (error && oldSize >= 0 && ::ftruncate(fd, oldSize) != 0) error = ErrorFromErrno(errno);
  if (::close(fd) != 0 && !error) error = ErrorFromErrno(errno);
  return error;
}

Error RewriteJournal(const std::string& path, const std::vector<UndoRecord>& records) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return ErrorFromErrno(errno);
  // Keep the journal's permissions; mkstemp creates it for the owner only.
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  Error error = WriteAll(fd, std::string(kJournalHeader) + '\n' + Lines(records));
  if (!error && ::fsync(fd) != 0) error = ErrorFromErrno(errno);
  if (::close(fd) != 0 && !error) error = ErrorFromErrno(errno);
  if (!error && ::rename(temp.c_str(), path.c_str()) != 0) error = ErrorFromErrno(errno);
  if (error) ::unlink(temp.c_str());
  return error;
}

}  // namespace velmora::cli
