#include "cli/arguments.h"

#include <algorithm>

#include "cli/console.h"
#include "cli/job_file.h"

namespace velmora::cli {
namespace {

// The value of option name in the arguments ("--job FILE" or "--job=FILE"),
// or "".
std::string ValueOf(const std::vector<std::string>& lastFirst, const std::string& name) {
  for (std::size_t i = lastFirst.size(); i-- > 0;) {
    const std::string& arg = lastFirst[i];
    if (arg == name && i > 0) return lastFirst[i - 1];
    if (arg.rfind(name + "=", 0) == 0) return arg.substr(name.size() + 1);
  }
  return "";
}

}  // namespace

std::vector<std::string> ArgumentsForParser(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = argc - 1; i >= 1; --i) {
    const std::string arg = argv[i];
    if (arg.size() > 3 && arg.rfind("--", 0) == 0 && arg.find('=') == arg.size() - 1) {
      args.emplace_back();
      args.push_back(arg.substr(0, arg.size() - 1));
    } else {
      args.push_back(arg);
    }
  }
  return args;
}

bool PreloadJob(const std::vector<std::string>& lastFirst, CliOptions& options) {
  options.saveJob = ValueOf(lastFirst, "--save-job");
  const std::string job = ValueOf(lastFirst, "--job");
  if (job.empty()) return true;
  std::string problem;
  if (LoadJobOptions(job, options, problem)) return true;
  PrintProblem(problem);
  return false;
}

WantedOptions::WantedOptions(const std::vector<std::string>& args) : every_(false) {
  for (const std::string& arg : args) {
    if (arg.rfind("--", 0) == 0) {
      longNames_.push_back(arg.substr(0, arg.find('=')));
    } else if (arg.size() > 1 && arg[0] == '-') {
      shortNames_ += arg.substr(1);  // a cluster such as -ny, or -pVALUE
    }
  }
}

bool WantedOptions::operator()(const std::string& names) const {
  if (every_) return true;
  for (std::size_t start = 0; start < names.size();) {
    const std::size_t end = std::min(names.find(',', start), names.size());
    const std::string name = names.substr(start, end - start);
    if (name.size() == 2 && shortNames_.find(name[1]) != std::string::npos) return true;
    if (std::find(longNames_.begin(), longNames_.end(), name) != longNames_.end()) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace velmora::cli
