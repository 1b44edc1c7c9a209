// Runs the built velmora-cli (path in VELMORA_CLI) as a child process and
// collects its exit status, standard output and standard error; or, for the
// questions, runs it on a pseudo terminal and types the given answers. Also
// the folder helpers the command tests share.
#pragma once

#include <fcntl.h>
#include <gmock/gmock.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace velmora::testing {

using ::testing::HasSubstr;

// The names in folder (files and folders), sorted.
inline std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A folder without its trailing separator, as FOLDER arguments are written.
inline std::string Bare(const TempFolder& folder) {
  const std::string& path = folder.path();
  return path.substr(0, path.size() - 1);
}

struct CliResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;  // standard output (on a terminal: everything shown)
  std::string err;  // standard error
};

namespace detail {

// The default journal of the program under test lives in a folder of this
// test program, never in the user's own state folder.
inline void UseTestStateHome() {
  static const TempFolder state;
  ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
}

[[noreturn]] inline void ExecCli(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string program = VELMORA_CLI;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  ::_exit(127);
}

inline int WaitStatus(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// German whatever the developer's locale, then the test's own entries
// ("NAME=VALUE"), which may ask for English.
inline void SetEnvironment(const std::vector<std::string>& env) {
  ::setenv("LANGUAGE", "de", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  for (const std::string& entry : env) ::putenv(const_cast<char*>(entry.c_str()));
}

}  // namespace detail

// Starts the program without a terminal (standard input empty, as under cron
// or CI), its output into the files out and err (one file for both when they
// are the same), with the extra environment entries env ("NAME=VALUE").
inline pid_t StartCli(const std::vector<std::string>& args, const std::string& out,
                      const std::string& err, const std::vector<std::string>& env = {}) {
  detail::UseTestStateHome();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600), STDOUT_FILENO);
    ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600), STDERR_FILENO);
    detail::SetEnvironment(env);
    detail::ExecCli(args);
  }
  return pid;
}

inline CliResult RunCli(const std::vector<std::string>& args,
                        const std::vector<std::string>& env = {}) {
  CliResult result;
  const TempFolder capture;
  const std::string out = capture / "out", err = capture / "err";
  const pid_t pid = StartCli(args, out, err, env);
  if (pid < 0) return result;
  result.status = detail::WaitStatus(pid);
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

// On a pseudo terminal, with typed lines already waiting: everything the
// program shows, prompts included, lands in out.
inline CliResult RunCliOnTerminal(const std::vector<std::string>& args, const std::string& typed,
                                  const std::vector<std::string>& env = {}) {
  CliResult result;
  int master = -1;
  detail::UseTestStateHome();
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    detail::SetEnvironment(env);
    detail::ExecCli(args);
  }
  if (pid < 0) return result;
  if (::write(master, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) {
    return result;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO once the program has ended
    result.out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(master);
  result.status = detail::WaitStatus(pid);
  return result;
}

}  // namespace velmora::testing
