// Other tools from tests: shell command lines, a child process, and a small file system of
// a given kind on a loop device, for what only a real volume shows.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/temp_folder.h"

namespace velmora::testing {

// True when command succeeds; what it prints is dropped.
inline bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output of command; standard error is dropped.
inline std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

// Runs body in a child process that ends after it; the child's wait status.
template <typename Body>
int InChild(Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

// An image of size formatted by mkfs, attached to a loop device and mounted
// by mount ("mount" or a FUSE driver); its files go into a fresh folder on
// it. Needs root and the packages of scripts/install-deps.sh.
class LoopVolume {
 public:
  LoopVolume(const std::string& mkfs, const std::string& mount, const std::string& size = "16M") {
    const std::string image = work_ / "volume.img", mnt = work_ / "mnt";
    ::mkdir(mnt.c_str(), 0700);
    if (::geteuid() != 0) {
      reason_ = "needs root";
    } else if (mount != "mount" && ::access("/dev/fuse", R_OK | W_OK) != 0) {
      reason_ = "no /dev/fuse";
    } else if (!Shell("truncate -s " + size + " " + image) || !Shell(mkfs + " " + image)) {
      reason_ = "cannot format an image with '" + mkfs + "' (scripts/install-deps.sh)";
    } else if ((device_ = Output("losetup -f --show " + image + " | tr -d '\\n'")).empty()) {
      reason_ = "no free loop device";
    } else if (!Shell(mount + " " + device_ + " " + mnt)) {
      reason_ = "'" + mount + "' cannot mount the image";
    } else {
      mounted_ = mnt;
      folder_ = mnt + "/music/";
      if (::mkdir(folder_.c_str(), 0700) != 0) reason_ = "cannot write on the volume";
    }
  }
  ~LoopVolume() {
    if (!mounted_.empty()) Shell("umount " + mounted_);
    if (!device_.empty()) Shell("losetup -d " + device_);
  }

  // Why the volume is not there, "" when it is.
  [[nodiscard]] const std::string& reason() const { return reason_; }
  [[nodiscard]] const std::string& folder() const { return folder_; }
  std::string operator/(const std::string& name) const { return folder_ + name; }
  [[nodiscard]] std::string Bare() const { return folder_.substr(0, folder_.size() - 1); }

 private:
  TempFolder work_;  // not copyable, nor is the volume
  std::string device_, mounted_, folder_, reason_;
};

}  // namespace velmora::testing
