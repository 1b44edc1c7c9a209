// The command line's arguments as the parser (main.cpp) takes them, and what
// is read from them before it runs.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace velmora::cli {

// The arguments for CLI11, last first. "--dst1=" is spelled out as "--dst1"
// and an empty value: CLI11 would otherwise take the next argument as the
// value and drop an option such as --dry-run.
std::vector<std::string> ArgumentsForParser(int argc, char** argv);

// Reads --save-job and the job file of --job into options, before the
// arguments are parsed, so that every option given beside it overrides what
// it holds. False, with the reason on standard error, when the file cannot
// be read.
bool PreloadJob(const std::vector<std::string>& lastFirst, CliOptions& options);

// The options a parse is given. The help and a refusal show every option,
// so they get all of them. A run's parse gets only those its arguments can
// name, as building each option is work and building them all was most of a
// short run's start: an option named but left out fails that parse, which is
// then done again with every option. Positional and required options, which
// the parser checks unasked, are always added.
class WantedOptions {
 public:
  WantedOptions() = default;  // every option
  explicit WantedOptions(const std::vector<std::string>& args);

  // Whether the option of names ("-p,--pattern") is added.
  bool operator()(const std::string& names) const;

 private:
  bool every_ = true;
  std::vector<std::string> longNames_;  // "--pattern" of "--pattern" and "--pattern=X"
  std::string shortNames_;              // every letter after a single '-'
};

}  // namespace velmora::cli
