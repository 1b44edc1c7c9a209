// Runs the built velmora-cli (path in VELMORA_CLI) as a child process and
// collects its exit status, standard output and standard error; or, for the
// questions, runs it on a pseudo terminal and types the given answers.
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

// A test that sets a switch of services/test_hooks.h skips in a build
// without them.
#ifdef VELMORA_TEST_HOOKS
#define VELMORA_NEEDS_TEST_HOOKS() (void)0
#else
#define VELMORA_NEEDS_TEST_HOOKS() GTEST_SKIP() << "built without VELMORA_TEST_HOOKS"
#endif

namespace velmora::testing {

using ::testing::HasSubstr;

// A folder without its trailing separator, as FOLDER arguments are written.
inline std::string Bare(const TempFolder& folder) {
  return folder.path().substr(0, folder.path().size() - 1);
}

// args followed by more.
inline Names Plus(Names args, const Names& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// text with each "D/" standing for folder.
inline std::string InFolder(std::string text, const TempFolder& folder) {
  for (std::size_t at = text.find("D/"); at != std::string::npos;
       at = text.find("D/", at + folder.path().size())) {
    text.replace(at, 2, folder.path());
  }
  return text;
}

inline int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

struct CliResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;  // standard output (on a terminal: everything shown)
  std::string err;
};

namespace detail {

// The default journal of the program under test lives in a folder of this
// test program, never in the user's own state folder.
inline void UseTestStateHome() {
  static const TempFolder state;
  ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
}

// German whatever the developer's locale, then the test's own entries
// ("NAME=VALUE"), which may ask for English.
[[noreturn]] inline void ExecCli(std::vector<std::string> args, const Names& env) {
  ::setenv("LANGUAGE", "de", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  for (const std::string& entry : env) ::putenv(const_cast<char*>(entry.c_str()));
  args.insert(args.begin(), VELMORA_CLI);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

inline int WaitStatus(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace detail

// Starts the program without a terminal (standard input empty, as under cron
// or CI), its output into the files out and err (one file for both when they
// are the same), with the extra environment entries env ("NAME=VALUE").
inline pid_t StartCli(const Names& args, const std::string& out, const std::string& err,
                      const Names& env = {}) {
  detail::UseTestStateHome();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600), STDOUT_FILENO);
    ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600), STDERR_FILENO);
    detail::ExecCli(args, env);
  }
  return pid;
}

inline CliResult RunCli(const Names& args, const Names& env = {}) {
  const TempFolder capture;
  const pid_t pid = StartCli(args, capture / "out", capture / "err", env);
  if (pid < 0) return {};
  const int status = detail::WaitStatus(pid);
  return {status, ReadFile(capture / "out"), ReadFile(capture / "err")};
}

// undo --yes-all of every run in journal.
inline CliResult Undo(const std::string& journal, const Names& more = {}) {
  return RunCli(Plus({"undo", "--journal", journal, "--yes-all"}, more));
}

// Status 0; otherwise the status and everything the program said.
inline ::testing::AssertionResult Succeeds(const CliResult& r) {
  if (r.status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "status " << r.status << "\n" << r.out << r.err;
}

// rename --slot1 upper --yes-all over folder, journaled in journal.
inline CliResult Upper(const std::string& journal, const std::string& folder,
                       const Names& env = {}) {
  return RunCli({"rename", "--slot1", "upper", "--yes-all", "--journal", journal, folder}, env);
}

// Undo of every run in journal succeeds and leaves folder holding listing.
inline ::testing::AssertionResult UndoRestores(const std::string& journal,
                                               const std::string& folder, const Names& listing) {
  const CliResult r = Undo(journal);
  if (r.status != 0) return ::testing::AssertionFailure() << "undo: " << Succeeds(r).message();
  const Names now = Listing(folder);
  if (now == listing) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "left " << ::testing::PrintToString(now);
}

// On a pseudo terminal, with typed lines already waiting: everything the
// program shows, prompts included, lands in out.
inline CliResult RunCliOnTerminal(const Names& args, const std::string& typed,
                                  const Names& env = {}) {
  CliResult result;
  int master = -1;
  detail::UseTestStateHome();
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) detail::ExecCli(args, env);
  if (pid < 0 || ::write(master, typed.data(), typed.size()) != ssize_t(typed.size())) {
    return result;
  }
  char buffer[4096];
  for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) {  // EIO once it has ended
    result.out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(master);
  result.status = detail::WaitStatus(pid);
  return result;
}

}  // namespace velmora::testing
