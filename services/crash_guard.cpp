#include "services/crash_guard.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "services/test_hooks.h"

namespace velmora {
namespace {

enum Kind : int { kFree = 0, kFilling, kPartial, kTemporary };

constexpr int kSlots = 16;
constexpr std::size_t kMaxPath = 4096;

// A slot is claimed (kFilling) before its paths are written and published
// (kPartial, kTemporary) after, so the handler never reads half a path.
// With a folder descriptor of its own (dir), the calls use the names at
// path + nameAt and original relative to it.
struct Slot {
  std::atomic<int> kind{kFree};
  int dir = 0;  // set when the slot is claimed
  std::size_t nameAt = 0;
  char path[kMaxPath]{};
  char original[kMaxPath]{};
};

// All zero, so the slots cost nothing at start: set up at run time, they
// were 16 pages the program touched before main.
constinit Slot slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

bool Fits(const std::string& path) { return !path.empty() && path.size() < kMaxPath; }

const char* LastName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

int Claim(Kind kind, const std::string& path, const std::string& original, int dir) {
  if (!Fits(path) || (kind == kTemporary && !Fits(original))) return kNoGuard;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].kind.compare_exchange_strong(expected, kFilling)) continue;
    Slot& slot = slots[i];
    // Where no descriptor is left, a temporary is guarded by its whole
    // paths; a partial file's bare name would be taken in the wrong folder.
    slot.dir = dir == AT_FDCWD ? AT_FDCWD : ::fcntl(dir, F_DUPFD_CLOEXEC, 0);
    const bool at = slot.dir >= 0;
    if (!at) slot.dir = AT_FDCWD;
    if (dir != AT_FDCWD && !at && kind == kPartial) {
      slot.kind.store(kFree, std::memory_order_release);
      return kNoGuard;
    }
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.nameAt = at && kind == kTemporary ? LastName(path) - path.c_str() : 0;
    const char* originalName = at ? LastName(original) : original.c_str();
    std::memcpy(slot.original, originalName, std::strlen(originalName) + 1);
    slot.kind.store(kind, std::memory_order_release);
    return i;
  }
  return kNoGuard;
}

// Back under its own name, never over another file. Where the file system
// offers neither the no-replace rename nor links, check, then rename.
void MoveBack(int dir, const char* temp, const char* original) {
  if (::renameat2(dir, temp, dir, original, RENAME_NOREPLACE) == 0) return;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return;
  if (::linkat(dir, temp, dir, original, 0) == 0) {
    ::unlinkat(dir, temp, 0);
    return;
  }
  if (errno == EEXIST) return;
  struct stat st {};
  if (::fstatat(dir, original, &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT) return;
  ::renameat(dir, temp, dir, original);
}

void OnFatalSignal(int sig) { DieBySignal(sig); }

}  // namespace

int GuardPartialFile(const std::string& path, int dir) { return Claim(kPartial, path, {}, dir); }

int GuardTemporary(const std::string& temp, const std::string& original, int dir) {
  return Claim(kTemporary, temp, original, dir);
}

int GuardOf(const std::string& temp) {
  for (int i = 0; i < kSlots; ++i) {
    if (slots[i].kind.load(std::memory_order_acquire) == kTemporary && temp == slots[i].path) {
      return i;
    }
  }
  return kNoGuard;
}

void Unguard(int handle) {
  if (handle < 0 || handle >= kSlots) return;
  Slot& slot = slots[handle];
  const int dir = slot.dir;
  // Free before the descriptor closes, so the handler never uses a closed one.
  slot.kind.store(kFree, std::memory_order_release);
  if (dir != AT_FDCWD) ::close(dir);
}

void CleanUpGuardedFiles() {
  for (Slot& slot : slots) {
    switch (slot.kind.load(std::memory_order_acquire)) {
      case kPartial:
        ::unlinkat(slot.dir, slot.path, 0);
        slot.kind.store(kFree, std::memory_order_release);
        break;
      case kTemporary:
        MoveBack(slot.dir, slot.path + slot.nameAt, slot.original);
        slot.kind.store(kFree, std::memory_order_release);
        break;
      default:
        break;
    }
  }
}

void DieBySignal(int sig) {
  CleanUpGuardedFiles();
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  ::sigemptyset(&action.sa_mask);
  ::sigaction(sig, &action, nullptr);
  sigset_t unblock;
  ::sigemptyset(&unblock);
  ::sigaddset(&unblock, sig);
  ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  ::raise(sig);
  ::_exit(128 + sig);
}

void InstallCrashHandler() {
  struct sigaction action {};
  action.sa_handler = OnFatalSignal;
  action.sa_flags = SA_RESTART;
  ::sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaddset(&action.sa_mask, sig);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

void TestSignalPoint(const char* point) {
  static const char* const setting = TestHook("VELMORA_TEST_SIGNAL_AT");
  static bool fired = false;
  if (setting == nullptr || fired) return;
  const std::size_t length = std::strlen(point);
  if (std::strncmp(setting, point, length) != 0 || setting[length] != ':') return;
  fired = true;
  for (const char* at = setting + length + 1; *at != '\0';) {
    char* end = nullptr;
    const long sig = std::strtol(at, &end, 10);
    if (end == at) break;
    ::raise(static_cast<int>(sig));
    at = *end == ',' ? end + 1 : end;
  }
}

}  // namespace velmora

namespace velmora {

void TestStepDone() {
  static const char* const setting = TestHook("VELMORA_TEST_RUN_AFTER");
  static long steps = 0;
  if (setting == nullptr) return;
  char* command = nullptr;
  const long after = std::strtol(setting, &command, 10);
  if (++steps != after || *command != ':') return;
  if (std::system(command + 1) != 0) {
    // The test checks what the command did.
  }
}

}  // namespace velmora
