#include "services/journal.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <map>
#include <set>
#include <utility>

#include "engine/path.h"
#include "services/own_file.h"
#include "services/posix_file_system.h"
#include "services/step_identity.h"
#include "tags/tag_undo.h"

namespace velmora {
namespace {

constexpr char kTab = '\t';
constexpr char kHeaderV1[] = "# velmora journal 1";
constexpr char kV1Run[] = "v1";

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t begin = 0;;) {
    const std::size_t cut = line.find(kTab, begin);
    fields.push_back(line.substr(begin, cut == std::string_view::npos ? cut : cut - begin));
    if (cut == std::string_view::npos) return fields;
    begin = cut + 1;
  }
}

bool Unescape(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        return false;
    }
  }
  return true;
}

// Run names end up in side-file names: letters, digits and "-" only.
bool IsRunName(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-')) return false;
  }
  return true;
}

bool ParseNumber(std::string_view text, long long& value) {
  if (text.empty() || text.size() > 20) return false;
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(copy.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

bool ParseSeq(std::string_view text, long& seq) {
  long long value = 0;
  if (!ParseNumber(text, value) || value < 1) return false;
  seq = static_cast<long>(value);
  return true;
}

// Four fields from first: SIZE MTIME DEV INO, or "-" each.
bool ParseIdentity(const std::vector<std::string_view>& fields, std::size_t first,
                   StepIdentity& id) {
  if (fields[first] == "-") {
    id = {};
    for (std::size_t i = first; i < first + 4; ++i) {
      if (fields[i] != "-") return false;
    }
    return true;
  }
  long long numbers[4];
  std::string_view inode = fields[first + 3];
  const std::size_t slash = inode.find('/');
  long long fsid = 0;
  if (slash != std::string_view::npos && !ParseNumber(inode.substr(slash + 1), fsid)) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if (!ParseNumber(i == 3 ? inode.substr(0, slash) : fields[first + i], numbers[i])) return false;
  }
  id = {true,
        numbers[0],
        numbers[1],
        static_cast<std::uint64_t>(numbers[2]),
        static_cast<std::uint64_t>(numbers[3]),
        static_cast<std::uint64_t>(fsid),
        slash != std::string_view::npos};
  return true;
}

std::string IdentityFields(const StepIdentity& id) {
  if (!id.known) return "-\t-\t-\t-";
  return std::to_string(id.size) + kTab + std::to_string(id.mtimeNs) + kTab +
         std::to_string(id.device) + kTab + std::to_string(id.inode) +
         (id.inodeStable ? "/" + std::to_string(static_cast<long long>(id.fsid)) : "");
}

std::string Key(const std::string& run, long seq) { return run + '\t' + std::to_string(seq); }

class Parser {
 public:
  explicit Parser(JournalContents& contents) : contents_(contents) {}

  bool V1Line(std::string_view line) {
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() != 3 || f[0].size() != 1 || f[0][0] < '0' || f[0][0] > '3') return false;
    JournalStep step;
    step.run = kV1Run;
    step.seq = static_cast<long>(contents_.steps.size()) + 1;
    step.kind = f[0][0];
    step.state = StepState::kDone;
    if (!Unescape(f[1], step.source) || step.source.empty() || !Unescape(f[2], step.target)) {
      return false;
    }
    if (contents_.runs.empty()) contents_.runs.push_back({kV1Run, "-", "-", ""});
    contents_.steps.push_back(std::move(step));
    return true;
  }

  bool V2Line(std::string_view line) {
    const std::vector<std::string_view> f = Fields(line);
    const std::string_view letter = f[0];
    if (letter != "B" && letter != "E" && letter != "I" && letter != "D" && letter != "A" &&
        letter != "U") {
      contents_.foreign.emplace_back(line);
      return true;
    }
    if (f.size() < 3 || !IsRunName(f[1])) return false;
    const std::string run(f[1]);
    if (letter == "B") {
      JournalRun& r = RunNamed(run);
      return f.size() == 4 && Unescape(f[2], r.began) && !r.began.empty() &&
             Unescape(f[3], r.command);
    }
    if (letter == "E") {
      return f.size() == 3 && Unescape(f[2], RunNamed(run).ended) && !RunNamed(run).ended.empty();
    }
    long seq = 0;
    if (!ParseSeq(f[2], seq)) return false;
    if (letter == "I") {
      JournalStep step;
      step.run = run;
      step.seq = seq;
      if (f.size() != 10 || f[3].size() != 1 || !Unescape(f[4], step.source) ||
          !Unescape(f[5], step.target) || !ParseIdentity(f, 6, step.before)) {
        return false;
      }
      step.kind = f[3][0];
      RunNamed(run);
      index_[Key(run, seq)] = contents_.steps.size();
      contents_.steps.push_back(std::move(step));
      return true;
    }
    const auto found = index_.find(Key(run, seq));
    if (found == index_.end()) {  // its intent is not here: keep the line as it is
      contents_.foreign.emplace_back(line);
      return true;
    }
    JournalStep& step = contents_.steps[found->second];
    if (letter == "D") {
      step.state = StepState::kDone;
      return f.size() == 7 && ParseIdentity(f, 3, step.after);
    }
    if (f.size() != 3) return false;
    step.state = letter == "A" ? StepState::kAbandoned : StepState::kUndone;
    return true;
  }

 private:
  JournalRun& RunNamed(const std::string& id) {
    for (JournalRun& run : contents_.runs) {
      if (run.id == id) return run;
    }
    contents_.runs.push_back({id, "-", "", ""});
    return contents_.runs.back();
  }

  JournalContents& contents_;
  std::map<std::string, std::size_t> index_;
};

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

char KindOf(FileOp op) {
  switch (op) {
    case FileOp::kRename:
      return '1';
    case FileOp::kMove:
      return '2';
    case FileOp::kCopy:
      return '3';
    case FileOp::kTag:
      return '4';
  }
  return '0';
}

// The journal and its lock file are the user's own regular files, never
// reached through a link.
int OpenChecked(const std::string& path, int flags, Error& error) {
  int fd = -1;
  error = OpenOwnFile(path, flags & ~O_NONBLOCK, 0600, fd);
  return fd;
}

Error ReadWhole(const std::string& path, std::string& text, bool& missing) {
  text.clear();
  Error error;
  const int fd = OpenChecked(path, O_RDONLY | O_NONBLOCK, error);
  missing = fd < 0 && errno == ENOENT;
  if (fd < 0) return error;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = ErrorFromErrno(errno);
      break;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return error;
}

}  // namespace

std::string SideFilePath(const std::string& journalPath, const std::string& run, long seq) {
  return journalPath + '.' + run + '.' + std::to_string(seq);
}

std::string EscapeJournalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

StepIdentity IdentityOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {};
  StepIdentity id{true, static_cast<std::int64_t>(st.st_size),
                  static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                  static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  AddFileSystemIdentity(path, id.device, id);
  return id;
}

bool SameIdentity(const StepIdentity& a, const StepIdentity& b) {
  return a.known && b.known && a.size == b.size && a.mtimeNs == b.mtimeNs;
}

Error ParseJournal(std::string_view text, JournalContents& contents) {
  contents = {};
  Parser parser(contents);
  int version = 0;
  std::size_t lineNumber = 0;
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    begin = end + 1;
    ++lineNumber;
    // Written CRs are escaped; a bare one at the end comes from an editor.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (version == 0 && line == kHeaderV1) version = 1;
    if (version == 0 && line == kJournalHeader) version = 2;
    if (line.empty() || line.front() == '#') continue;
    if (version == 0) version = 1;  // records without a header: the old format
    if (!(version == 1 ? parser.V1Line(line) : parser.V2Line(line))) {
      return {kInvalidFileFormat, "Invalid journal line " + std::to_string(lineNumber)};
    }
  }
  MarkDismissedRuns(contents);
  return {};
}

std::string FormatJournal(const JournalContents& contents) {
  std::string text = std::string(kJournalHeader) + '\n';
  for (const std::string& line : contents.foreign) text += line + '\n';
  for (const JournalRun& run : contents.runs) {
    text += "B\t" + run.id + kTab + EscapeJournalText(run.began) + kTab +
            EscapeJournalText(run.command) + '\n';
    for (const JournalStep& step : contents.steps) {
      if (step.run != run.id) continue;
      const std::string key = run.id + kTab + std::to_string(step.seq);
      text += "I\t" + key + kTab + step.kind + kTab + EscapeJournalText(step.source) + kTab +
              EscapeJournalText(step.target) + kTab + IdentityFields(step.before) + '\n';
      switch (step.state) {
        case StepState::kPending:
          break;
        case StepState::kDone:
          text += "D\t" + key + kTab + IdentityFields(step.after) + '\n';
          break;
        case StepState::kAbandoned:
          text += "A\t" + key + '\n';
          break;
        case StepState::kUndone:
          text += "U\t" + key + '\n';
          break;
      }
    }
    if (!run.ended.empty()) text += "E\t" + run.id + kTab + EscapeJournalText(run.ended) + '\n';
  }
  return text;
}

bool RunInProgress(const JournalRun& run) {
  if (!run.ended.empty()) return false;
  long long pid = 0;
  const std::size_t cut = run.id.find('-');
  if (cut == std::string::npos || !ParseNumber(std::string_view(run.id).substr(0, cut), pid) ||
      pid <= 0 || pid == ::getpid()) {
    return false;
  }
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void CompactJournal(JournalContents& contents) {
  std::erase_if(contents.steps, [](const JournalStep& step) {
    return step.state == StepState::kAbandoned || step.state == StepState::kUndone;
  });
  std::erase_if(contents.runs, [&contents](const JournalRun& run) {
    if (RunInProgress(run)) return false;
    for (const JournalStep& step : contents.steps) {
      if (step.run == run.id) return false;
    }
    return true;
  });
}

std::string DefaultJournalPath() {
  std::string base;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    base = state;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      const passwd* user = ::getpwuid(::geteuid());
      home = user != nullptr ? user->pw_dir : "";
    }
    base = std::string(home) + kPathSeparator + ".local" + kPathSeparator + "state";
  }
  return base + kPathSeparator + "velmora" + kPathSeparator + "journal";
}

// Holds the exclusive lock on the lock file for one call (a kept lock
// serves as it is, and stays).
class JournalFile::Lock {
 public:
  explicit Lock(JournalFile& file) {
    if (file.lockKept_) return;
    error_ = file.OpenLock();
    if (!error_ && ::flock(file.lockFd_, LOCK_EX) != 0) error_ = ErrorFromErrno(errno);
    if (!error_) fd_ = file.lockFd_;
  }
  ~Lock() {
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
  }
  const Error& error() const { return error_; }

 private:
  Error error_;
  int fd_ = -1;
};

JournalFile::~JournalFile() {
  DropJournal();
  if (lockFd_ >= 0) ::close(lockFd_);
}

Error JournalFile::OpenLock() {
  if (lockFd_ >= 0) return {};
  Error error;
  lockFd_ = OpenChecked(path_ + ".lock", O_RDWR | O_CREAT, error);
  return error;
}

Error ReadSideFile(const std::string& path, std::string& bytes) {
  bool missing = false;
  return ReadWhole(path, bytes, missing);
}

Error JournalFile::ReadLocked(JournalContents& contents, bool& missing) {
  std::string text;
  if (Error error = ReadWhole(path_, text, missing)) return error;
  return ParseJournal(text, contents);
}

Error JournalFile::Replace(const std::string& text) {
  std::string temp = path_ + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return ErrorFromErrno(errno);
  Error error = WriteAll(fd, text);
  if (!error && ::fsync(fd) != 0) error = ErrorFromErrno(errno);
  if (::close(fd) != 0 && !error) error = ErrorFromErrno(errno);
  if (!error && ::rename(temp.c_str(), path_.c_str()) != 0) error = ErrorFromErrno(errno);
  if (error) ::unlink(temp.c_str());
  if (!error) DropJournal();  // the held file is no longer the journal
  return error;
}

void JournalFile::DropJournal() {
  if (journalFd_ >= 0) ::close(journalFd_);
  journalFd_ = -1;
}

Error JournalFile::HoldJournal(std::int64_t& size) {
  // One lstat per record instead of an open with its checks: the path must
  // still name the held file, and that file must still be a regular file of
  // the user. A link put in its place, or a rewrite, has an inode of its own.
  struct stat st {};
  if (journalFd_ >= 0 && ::lstat(path_.c_str(), &st) == 0 &&
      static_cast<std::uint64_t>(st.st_dev) == journalDevice_ &&
      static_cast<std::uint64_t>(st.st_ino) == journalInode_ && S_ISREG(st.st_mode) &&
      st.st_uid == owner_) {
    size = st.st_size;
    return {};
  }
  DropJournal();
  Error error;
  int fd = OpenChecked(path_, O_RDWR | O_APPEND | O_CREAT, error);
  if (fd < 0) return error;
  char head[sizeof kHeaderV1 - 1];
  if (::pread(fd, head, sizeof head, 0) == sizeof head &&
      std::string_view(head, sizeof head) == kHeaderV1) {
    // Version-2 records never go after version-1 ones: convert first.
    ::close(fd);
    bool missing = false;
    JournalContents contents;
    error = ReadLocked(contents, missing);
    if (!error) error = Replace(FormatJournal(contents));
    if (error) return error;
    fd = OpenChecked(path_, O_RDWR | O_APPEND, error);
    if (fd < 0) return error;
  }
  if (::fstat(fd, &st) != 0) {
    error = ErrorFromErrno(errno);
    ::close(fd);
    return error;
  }
  journalFd_ = fd;
  journalDevice_ = static_cast<std::uint64_t>(st.st_dev);
  journalInode_ = static_cast<std::uint64_t>(st.st_ino);
  owner_ = st.st_uid;  // the effective user's: OpenChecked refuses others
  size = st.st_size;
  return {};
}

namespace {

std::int64_t MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

constexpr std::int64_t kKeepLockNs = 20 * 1000000;

}  // namespace

Error JournalFile::Append(const std::string& lines) {
  const bool kept = lockKept_;
  if (!kept) {
    if (Error error = OpenLock()) return error;
    if (::flock(lockFd_, LOCK_EX) != 0) return ErrorFromErrno(errno);
    lockKept_ = keepLock_;
    keptSinceNs_ = MonotonicNs();
  }
  std::int64_t size = keptSize_;
  Error error;
  if (!kept || journalFd_ < 0) error = HoldJournal(size);
  if (!error) {
    std::string withHeader;
    if (size == 0) withHeader = std::string(kJournalHeader) + '\n' + lines;
    const std::string& bytes = size == 0 ? withHeader : lines;
    error = WriteAll(journalFd_, bytes);
    // A half-written record would make the whole journal unreadable.
    if (error && ::ftruncate(journalFd_, size) != 0) error = ErrorFromErrno(errno);
    keptSize_ = error ? size : size + static_cast<std::int64_t>(bytes.size());
  }
  if (!lockKept_ || error || MonotonicNs() - keptSinceNs_ > kKeepLockNs) Unlock();
  return error;
}

void JournalFile::Unlock() {
  lockKept_ = false;
  ::flock(lockFd_, LOCK_UN);
}

void JournalFile::ReleaseLock() {
  if (lockKept_) Unlock();
}

Error JournalFile::Read(JournalContents& contents) {
  const Lock lock(*this);
  if (lock.error()) return lock.error();
  bool missing = false;
  return ReadLocked(contents, missing);
}

Error JournalFile::Compact(int* stepsLeft) {
  const Lock lock(*this);
  if (lock.error()) return lock.error();
  bool missing = false;
  JournalContents contents;
  if (Error error = ReadLocked(contents, missing)) return error;
  const JournalContents before = contents;
  CompactJournal(contents);
  if (stepsLeft != nullptr) *stepsLeft = static_cast<int>(contents.steps.size());
  return ReplaceWith(before, contents);
}

namespace {

// The steps of a version-2 journal, one intent record each, counted without
// parsing; npos for any other text.
std::size_t CountIntents(std::string_view text) {
  if (!text.starts_with(kJournalHeader)) return std::string_view::npos;
  std::size_t count = 0;
  for (std::size_t at = text.find("\nI\t"); at != std::string_view::npos;
       at = text.find("\nI\t", at + 3)) {
    ++count;
  }
  return count;
}

}  // namespace

Error JournalFile::Trim(std::size_t maxSteps) {
  const Lock lock(*this);
  if (lock.error()) return lock.error();
  std::string text;
  bool missing = false;
  Error error = ReadWhole(path_, text, missing);
  if (missing) return {};
  // Every run starts here: most find room to spare, told without parsing.
  if (error || CountIntents(text) <= maxSteps) return error;
  JournalContents contents;
  error = ParseJournal(text, contents);
  if (error || contents.steps.size() <= maxSteps) return error;
  const JournalContents before = contents;
  std::map<std::string, std::size_t> stepsOf;
  for (const JournalStep& step : contents.steps) ++stepsOf[step.run];
  std::size_t steps = contents.steps.size();
  std::vector<std::string> dropped;
  for (const JournalRun& run : contents.runs) {
    if (steps <= maxSteps) break;
    if (RunInProgress(run)) continue;
    dropped.push_back(run.id);
    steps -= stepsOf[run.id];
  }
  const auto isDropped = [&dropped](const std::string& run) {
    return std::find(dropped.begin(), dropped.end(), run) != dropped.end();
  };
  std::erase_if(contents.steps, [&](const JournalStep& step) { return isDropped(step.run); });
  std::erase_if(contents.runs, [&](const JournalRun& run) { return isDropped(run.id); });
  return ReplaceWith(before, contents);
}

Error JournalFile::ReplaceWith(const JournalContents& before, const JournalContents& contents) {
  if (Error error = Replace(FormatJournal(contents))) return error;
  std::set<std::string> kept;
  for (const JournalStep& step : contents.steps) kept.insert(Key(step.run, step.seq));
  for (const JournalStep& step : before.steps) {
    if (step.kind == '4' && kept.count(Key(step.run, step.seq)) == 0) {
      ::unlink(SideFilePath(path_, step.run, step.seq).c_str());
    }
  }
  return {};
}

namespace {

Error WriteSideFile(const std::string& path, const std::string& bytes) {
  Error error;
  const int fd = OpenChecked(path, O_WRONLY | O_CREAT | O_TRUNC, error);
  if (fd < 0) return error;
  error = WriteAll(fd, bytes);
  if (::close(fd) != 0 && !error) error = ErrorFromErrno(errno);
  if (error) ::unlink(path.c_str());
  return error;
}

}  // namespace

JournalWriter::JournalWriter(JournalFile& file, ErrorReporter& reporter)
    : file_(file), reporter_(reporter) {
  if (const char* kill = std::getenv("VELMORA_TEST_KILL_AFTER")) killAfter_ = std::atol(kill);
}

JournalWriter::~JournalWriter() { (void)Settle(); }

Error JournalWriter::Settle() {
  const Error error = waiting_.empty() ? Error{} : Write("");
  file_.ReleaseLock();
  return error;
}

Error JournalWriter::Begin(const std::string& command) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  run_ = std::to_string(::getpid()) + "-" +
         std::to_string(static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec);
  seq_ = 0;
  ownSteps_.clear();
  if (Error error = Settle()) return error;
  if (Error error = file_.Trim(kMaxJournalSteps)) return error;
  return file_.Append("B\t" + run_ + kTab + NowText() + kTab + EscapeJournalText(command) + '\n');
}

// Write reports its own failure; the run has nothing left to stop.
void JournalWriter::End() {
  (void)Write("E\t" + run_ + kTab + NowText() + '\n');
  file_.ReleaseLock();
}

Error JournalWriter::Intent(FileOp op, const std::string& source, const std::string& target,
                            const FileIdentity* known) {
  ownSteps_.push_back(++seq_);
  if (op == FileOp::kTag) {
    // Without the old bytes the write cannot be taken back; it goes ahead
    // only when the file could not be read at all, and then fails as well.
    TagUndoBytes bytes;
    PosixFileSystem disk;
    if (!CaptureTagBytes(disk, source, bytes)) {
      if (Error error =
              WriteSideFile(SideFilePath(file_.path(), run_, seq_), PackTagBytes(bytes))) {
        if (!reported_) {
          reported_ = true;
          reporter_.ReportError(Location::kNone, error.number, kJournalWriteContext, file_.path(),
                                error.description);
        }
        return error;
      }
    }
  }
  announced_ = known == nullptr
                   ? IdentityOf(source)
                   : StepIdentity{true, known->size, known->modified, known->device, known->inode};
  if (known != nullptr) AddFileSystemIdentity(source, known->device, announced_);
  const Error error = Write("I\t" + run_ + kTab + std::to_string(seq_) + kTab + KindOf(op) + kTab +
                            EscapeJournalText(source) + kTab + EscapeJournalText(target) + kTab +
                            IdentityFields(announced_) + '\n');
  // A large copy may take long; others do not wait for it.
  constexpr std::int64_t kQuickCopy = 1 << 20;
  if (op != FileOp::kRename && (known == nullptr || known->size > kQuickCopy)) file_.ReleaseLock();
  return error;
}

Error JournalWriter::Done(FileOp op, const std::string&, const std::string& target) {
  // Tests kill the run between an operation and its done record.
  if (killAfter_ > 0 && ++operations_ == killAfter_) std::raise(SIGKILL);
  // A rename keeps the file, its size and modification time: the intent's
  // identity is the new name's, without another lstat. A file changed
  // between the two is refused by undo, as one changed after the run.
  const StepIdentity after =
      op == FileOp::kRename && announced_.known ? announced_ : IdentityOf(target);
  std::string line =
      "D\t" + run_ + kTab + std::to_string(seq_) + kTab + IdentityFields(after) + '\n';
  if (!deferDone_) return Write(line);
  waiting_ += line;
  return {};
}

void JournalWriter::Abandoned(FileOp, const std::string&, const std::string&) {
  (void)Write("A\t" + run_ + kTab + std::to_string(seq_) + '\n');  // reports its own failure
}

Error JournalWriter::Undone(const std::string& run, long seq) {
  std::string lines = run.empty() ? "" : "U\t" + run + kTab + std::to_string(seq) + '\n';
  for (long own : TakeOwnSteps()) lines += "U\t" + run_ + kTab + std::to_string(own) + '\n';
  return lines.empty() ? Error{} : Write(lines);
}

Error JournalWriter::NotDone(const std::string& run, long seq) {
  return Write("A\t" + run + kTab + std::to_string(seq) + '\n');
}

std::vector<long> JournalWriter::TakeOwnSteps() { return std::exchange(ownSteps_, {}); }

Error JournalWriter::Write(const std::string& line) {
  Error error = waiting_.empty() ? file_.Append(line) : file_.Append(waiting_ + line);
  // A done record that could not be written is tried again with the next
  // record, and that record fails too: the run stops before its operation.
  if (!error) waiting_.clear();
  if (error && !reported_) {
    reported_ = true;
    reporter_.ReportError(Location::kNone, error.number, kJournalWriteContext, file_.path(),
                          error.description);
  }
  return error;
}

}  // namespace velmora
