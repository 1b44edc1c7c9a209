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
struct Slot {
  std::atomic<int> kind{kFree};
  char path[kMaxPath];
  char original[kMaxPath];
};

Slot slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

bool Fits(const std::string& path) { return !path.empty() && path.size() < kMaxPath; }

int Claim(Kind kind, const std::string& path, const std::string& original) {
  if (!Fits(path) || (kind == kTemporary && !Fits(original))) return kNoGuard;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].kind.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    std::memcpy(slots[i].original, original.c_str(), original.size() + 1);
    slots[i].kind.store(kind, std::memory_order_release);
    return i;
  }
  return kNoGuard;
}

// Back under its own name, never over another file. Where the file system
// offers neither the no-replace rename nor links, check, then rename.
void MoveBack(const char* temp, const char* original) {
  if (::renameat2(AT_FDCWD, temp, AT_FDCWD, original, RENAME_NOREPLACE) == 0) return;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return;
  if (::link(temp, original) == 0) {
    ::unlink(temp);
    return;
  }
  if (errno == EEXIST) return;
  struct stat st {};
  if (::lstat(original, &st) == 0 || errno != ENOENT) return;
  ::rename(temp, original);
}

void OnFatalSignal(int sig) { DieBySignal(sig); }

}  // namespace

int GuardPartialFile(const std::string& path) { return Claim(kPartial, path, {}); }

int GuardTemporary(const std::string& temp, const std::string& original) {
  return Claim(kTemporary, temp, original);
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
  if (handle >= 0 && handle < kSlots) slots[handle].kind.store(kFree, std::memory_order_release);
}

void CleanUpGuardedFiles() {
  for (Slot& slot : slots) {
    switch (slot.kind.load(std::memory_order_acquire)) {
      case kPartial:
        ::unlink(slot.path);
        slot.kind.store(kFree, std::memory_order_release);
        break;
      case kTemporary:
        MoveBack(slot.path, slot.original);
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
