#include "services/pinned_folders.h"

#include <linux/openat2.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "engine/error_numbers.h"
#include "engine/path.h"
#include "services/language.h"

namespace velmora {
namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Descriptors left for everything else the program opens.
constexpr rlim_t kSpareDescriptors = 256;

std::size_t RaiseOpenFileLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 64;
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  // select() and friends in libraries stay usable with the low numbers.
  const rlim_t usable = limit.rlim_cur == RLIM_INFINITY ? 1 << 20 : limit.rlim_cur;
  return usable > 2 * kSpareDescriptors ? static_cast<std::size_t>(usable - kSpareDescriptors)
                                        : static_cast<std::size_t>(usable / 2);
}

// One name below parent, never through a link, never above it; openat with
// O_NOFOLLOW where the kernel lacks openat2.
int OpenBelow(int parent, const std::string& name) {
  static std::atomic<bool> noOpenat2{false};
  if (!noOpenat2) {
    open_how how{};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, parent, name.c_str(), &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS) return static_cast<int>(fd);
    noOpenat2 = true;
  }
  return ::openat(parent, name.c_str(), kFolderFlags);
}

// A path that could not be resolved is left as it is.
Error Unresolved(const std::string& path, const Error& error, FolderPlace& place) {
  place.name.Point(path);
  return error;
}

bool IdentityOfFd(int fd, dev_t& device, ino_t& inode) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  device = st.st_dev;
  inode = st.st_ino;
  return true;
}

}  // namespace

FolderDescriptor::~FolderDescriptor() {
  if (fd >= 0) ::close(fd);
}

Error FolderReplacedError(const std::string& folder) {
  return {kPathFileAccess, Tr("velmora", "Ordner wurde ersetzt, nicht betreten:") + " " + folder};
}

PinnedFolders::PinnedFolders(std::size_t budget) {
  static const std::size_t allowed = RaiseOpenFileLimit();
  budget_ = budget != 0 ? budget : allowed;
}

Error PinnedFolders::Pin(const std::string& folder) {
  const std::string key = WithTrailingSeparator(folder);
  for (const std::string& root : roots_) {
    if (root == key) return {};
  }
  // Links on the way to a folder the user chose are the user's own.
  const int fd = ::open(key.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrorFromErrno(errno, ErrnoUse::kFolder);
  auto descriptor = std::make_shared<const FolderDescriptor>(fd);
  Identity identity;
  if (!IdentityOfFd(fd, identity.device, identity.inode)) return ErrorFromErrno(errno);
  if (SeenOtherThan(key, identity)) return FolderReplacedError(key);
  folders_[key] = Folder{descriptor, identity};
  last_.reset();
  roots_.push_back(key);
  rootDescriptors_.push_back(std::move(descriptor));
  const std::lock_guard<std::mutex> hold(seen_->lock);
  seen_->pinned = true;
  return {};
}

void PinnedFolders::Clear() {
  {
    const std::lock_guard<std::mutex> hold(seen_->lock);
    seen_->pinned = false;
  }
  roots_.clear();
  rootDescriptors_.clear();
  folders_.clear();
  last_.reset();
  open_ = 0;
}

void PinnedFolders::Saw(const std::string& folder, dev_t device, ino_t inode) {
  const std::lock_guard<std::mutex> hold(seen_->lock);
  if (seen_->pinned) return;
  seen_->folders[WithTrailingSeparator(folder)] = Identity{device, inode};
}

bool PinnedFolders::SeenOtherThan(const std::string& key, const Identity& identity) {
  const std::lock_guard<std::mutex> hold(seen_->lock);
  const auto seen = seen_->folders.find(key);
  return seen != seen_->folders.end() && !(seen->second == identity);
}

int PinnedFolders::PinnedDescriptor(const std::string& folder) const {
  const std::string key = WithTrailingSeparator(folder);
  if (std::find(roots_.begin(), roots_.end(), key) == roots_.end()) return -1;
  const auto it = folders_.find(key);
  return it != folders_.end() && it->second.descriptor != nullptr ? it->second.descriptor->fd : -1;
}

// The longest pinned folder that holds folder.
const std::string* PinnedFolders::RootOf(std::string_view folder) const {
  const std::string* best = nullptr;
  for (const std::string& root : roots_) {
    if (folder.compare(0, root.size(), root) == 0 &&
        (best == nullptr || root.size() > best->size())) {
      best = &root;
    }
  }
  return best;
}

Error PinnedFolders::Resolve(const std::string& path, FolderPlace& place) {
  // Most steps lie in the folder of the path before: its name follows it
  // with no separator.
  const std::size_t lastSize = lastFolder_.size();
  if (last_ != nullptr && path.size() > lastSize && path.compare(0, lastSize, lastFolder_) == 0 &&
      path.find(kPathSeparator, lastSize) == std::string::npos) {
    place.dir = last_->fd;
    place.name.Point(path, lastSize);
    place.held = last_;
    return {};
  }
  // Called several times per step: no copy of the whole path unless needed.
  const std::size_t nameStart = roots_.empty() ? 0 : FileNameStart(path);
  // A view: most paths lie right in a pinned folder and need no walk.
  const std::string_view folder = std::string_view(path).substr(0, nameStart);
  if (last_ != nullptr && folder == lastFolder_) {
    place.dir = last_->fd;
    place.name.Point(path, nameStart);
    place.held = last_;
    return {};
  }
  const std::string* root = roots_.empty() ? nullptr : RootOf(folder);
  place.held.reset();
  place.dir = AT_FDCWD;
  if (root == nullptr) {
    place.name.Point(path);
    return {};
  }

  std::shared_ptr<const FolderDescriptor> at =
      rootDescriptors_[static_cast<std::size_t>(root - roots_.data())];
  for (std::size_t begin = root->size(); begin < folder.size();) {
    const std::size_t end = folder.find(kPathSeparator, begin);
    const std::string name(folder.substr(begin, end - begin));
    const std::string key(folder.substr(0, end + 1));
    begin = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") return Unresolved(path, FolderReplacedError(key), place);
    const auto known = folders_.find(key);
    if (known != folders_.end() && known->second.descriptor != nullptr) {
      at = known->second.descriptor;
    } else if (Error error = Open(key, *at, name, at)) {
      return Unresolved(path, error, place);
    }
  }
  place.dir = at->fd;
  place.name.Point(path, nameStart);
  lastFolder_.assign(folder);
  last_ = at;
  place.held = std::move(at);
  return {};
}

// Opens name below parent as the folder key, which must be what was seen
// or opened there before.
Error PinnedFolders::Open(const std::string& key, const FolderDescriptor& parent,
                          const std::string& name,
                          std::shared_ptr<const FolderDescriptor>& opened) {
  if (open_ >= budget_) LetGoOfSubFolders();
  last_.reset();
  const int fd = OpenBelow(parent.fd, name);
  if (fd < 0) {
    // A link, or anything but a folder, in the folder's place.
    if (errno == ELOOP || errno == ENOTDIR || errno == EXDEV) return FolderReplacedError(key);
    return ErrorFromErrno(errno, ErrnoUse::kFolder);
  }
  auto descriptor = std::make_shared<const FolderDescriptor>(fd);
  Identity identity;
  if (!IdentityOfFd(fd, identity.device, identity.inode)) return ErrorFromErrno(errno);
  Folder& folder = folders_[key];
  const bool before = folder.identity.inode != 0;
  if ((before && !(folder.identity == identity)) || SeenOtherThan(key, identity)) {
    return FolderReplacedError(key);
  }
  folder = Folder{descriptor, identity};
  ++open_;
  opened = std::move(descriptor);
  return {};
}

// Past the budget the sub-folders are closed; their identities stay, so
// opening one again by name must find the same folder.
void PinnedFolders::LetGoOfSubFolders() {
  last_.reset();
  for (auto& [key, folder] : folders_) {
    bool root = false;
    for (const std::string& pinned : roots_) root = root || pinned == key;
    if (!root) folder.descriptor.reset();
  }
  open_ = 0;
}

}  // namespace velmora
