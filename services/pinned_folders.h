// The folders a run works through, opened once. A pinned folder (the searched
// folder, the destination) is opened by its path, so links the user chose on
// the way to it are followed there; every folder below it is opened one name
// at a time relative to its parent, never through a link, and kept. A path
// under a pinned folder resolves to a kept descriptor and the last name, so
// a folder replaced after it was opened or listed is never entered through
// whatever took its place. Internal to the file-system service.
#pragma once

#include <fcntl.h>
#include <sys/types.h>

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_reporter.h"

namespace velmora {

// An open folder, closed with its last user.
struct FolderDescriptor {
  int fd = -1;
  explicit FolderDescriptor(int descriptor) : fd(descriptor) {}
  ~FolderDescriptor();
  FolderDescriptor(const FolderDescriptor&) = delete;
  FolderDescriptor& operator=(const FolderDescriptor&) = delete;
};

// The end of a path the caller holds: it ends where that path ends, so the
// *at calls take it as it is, with no copy of the name. Valid while that
// path lives unchanged.
class PlaceName {
 public:
  void Point(const std::string& path, std::size_t from = 0) {
    view_ = std::string_view(path).substr(from);
  }
  [[nodiscard]] const char* c_str() const { return view_.data(); }
  [[nodiscard]] std::string_view view() const { return view_; }

 private:
  std::string_view view_{""};
};

// A path as the *at calls take it: dir is a kept folder and name a single
// name in it, or, for a path under no pinned folder, AT_FDCWD and the path.
// It points into the path it was resolved from.
struct FolderPlace {
  int dir = AT_FDCWD;
  PlaceName name;
  std::shared_ptr<const FolderDescriptor> held;  // keeps dir open while in use
};

class PinnedFolders {
 public:
  // Raises the soft limit of open files to the hard one, once per process.
  // At most budget sub-folders are held open (0: as the limit allows); past
  // that they are closed, and one opened again must be the same folder.
  explicit PinnedFolders(std::size_t budget = 0);

  // Opens folder and keeps it until Clear. A folder a listing saw must be
  // the one opened now; the error names the folder otherwise.
  Error Pin(const std::string& folder);
  void Clear();

  // What a listing of folder found there; later openings must find it
  // again. Ignored while folders are pinned; safe from any thread.
  void Saw(const std::string& folder, dev_t device, ino_t inode);

  // The descriptor of folder when it is itself a pinned folder, else -1;
  // open until Clear. Opens nothing.
  [[nodiscard]] int PinnedDescriptor(const std::string& folder) const;

  // Where path lies. Fails, naming the folder, when a folder between the
  // pinned one and the name is a link, missing, or not the one seen before.
  Error Resolve(const std::string& path, FolderPlace& place);
  // place would point into a path gone by the time it is used.
  Error Resolve(std::string&& path, FolderPlace& place) = delete;

 private:
  struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Identity&) const = default;
  };
  // Listings run on a thread of their own while the window reads folders.
  struct Seen {
    std::mutex lock;
    std::map<std::string, Identity> folders;  // by the key of folders_
    bool pinned = false;                      // a run's listings never vouch for a folder
  };
  struct Folder {
    std::shared_ptr<const FolderDescriptor> descriptor;  // null once let go
    Identity identity;
  };

  [[nodiscard]] const std::string* RootOf(std::string_view folder) const;
  bool SeenOtherThan(const std::string& key, const Identity& identity);
  Error Open(const std::string& key, const FolderDescriptor& parent, const std::string& name,
             std::shared_ptr<const FolderDescriptor>& opened);
  void LetGoOfSubFolders();

  std::vector<std::string> roots_;  // keys of the pinned folders
  // Their descriptors, in the same order: no map lookup per path.
  std::vector<std::shared_ptr<const FolderDescriptor>> rootDescriptors_;
  std::map<std::string, Folder> folders_;  // by path with its trailing separator
  std::shared_ptr<Seen> seen_ = std::make_shared<Seen>();
  // The folder of the path resolved last (separator included) and its
  // descriptor; null when none or when the folders changed since.
  std::string lastFolder_;
  std::shared_ptr<const FolderDescriptor> last_;
  std::size_t open_ = 0;    // sub-folders held open
  std::size_t budget_ = 0;  // at most this many
};

// The error for a folder that is not the one the search or the run opened.
Error FolderReplacedError(const std::string& folder);

}  // namespace velmora
