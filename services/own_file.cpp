#include "services/own_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "services/posix_file_system.h"

namespace velmora {

Error OpenOwnFile(const std::string& path, int flags, mode_t mode, int& fd) {
  fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
  if (fd < 0) {
    if (errno == ELOOP) return {kPathFileAccess, "symbolic link in the file's place, not followed"};
    return ErrorFromErrno(errno);
  }
  struct stat st {};
  Error error;
  if (::fstat(fd, &st) != 0) {
    error = ErrorFromErrno(errno);
  } else if (!S_ISREG(st.st_mode)) {
    error = {kPathFileAccess, "not a regular file"};
  } else if (st.st_uid != ::geteuid()) {
    error = {kPermissionDenied, "the file belongs to another user"};
  } else if (::fcntl(fd, F_SETFL, flags & O_APPEND) != 0) {  // blocking again
    error = ErrorFromErrno(errno);
  }
  if (error) {
    ::close(fd);
    fd = -1;
  }
  return error;
}

Error OpenOwnFileForAppend(const std::string& path, mode_t mode, int& fd) {
  return OpenOwnFile(path, O_WRONLY | O_APPEND | O_CREAT, mode, fd);
}

void LeaveOutOwnFile(std::vector<FoundEntry>& found, const std::string& path) {
  LeaveOutOwnFiles(found, {path});
}

void LeaveOutOwnFiles(std::vector<FoundEntry>& found, const std::vector<std::string>& paths) {
  std::vector<struct stat> own;
  for (const std::string& path : paths) {
    struct stat st {};
    if (!path.empty() && ::stat(path.c_str(), &st) == 0) own.push_back(st);
  }
  if (own.empty()) return;
  // One stat per entry: on a large folder these stats cost as much as the
  // renames.
  for (FoundEntry& entry : found) {
    struct stat st {};
    if (!entry.marked || ::stat(entry.path.c_str(), &st) != 0) continue;
    for (const struct stat& file : own) {
      if (st.st_dev == file.st_dev && st.st_ino == file.st_ino) entry.marked = false;
    }
  }
}

}  // namespace velmora
