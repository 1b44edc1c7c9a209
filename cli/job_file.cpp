#include "cli/job_file.h"

#include <algorithm>

#include "cli/console.h"
#include "cli/job_options.h"
#include "services/job_file.h"

namespace velmora::cli {
namespace {

SavedJob SavedJobOf(const CliOptions& options) {
  SavedJob job;
  job.pattern = options.pattern;
  job.subdirs = options.subdirs;
  job.order = options.order;
  job.orderReverse = options.reverse;
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    job.slotCode[i] = std::max(OperationCode(options.slotOperation[i]), 0);
    job.first[i] = options.slotSource[i];
    job.second[i] = options.slotDestination[i];
  }
  job.numberStep = options.numberStep;
  job.restartPerFolder = options.restartPerFolder;
  job.resolveChains = options.resolveChains;
  return job;
}

}  // namespace

bool LoadJobOptions(const std::string& path, CliOptions& options, std::string& problem) {
  // What the file leaves out keeps what options holds.
  SavedJob job = SavedJobOf(options);
  if (!ReadJobFile(path, job, problem)) return false;
  options.pattern = job.pattern;
  options.subdirs = job.subdirs;
  options.order = job.order;
  options.reverse = job.orderReverse;
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const auto code = static_cast<std::size_t>(job.slotCode[i]);
    options.slotOperation[i] = code == 0 ? "0" : OperationNames()[code];
    options.slotSource[i] = job.first[i];
    options.slotDestination[i] = job.second[i];
  }
  options.numberStep = job.numberStep;
  options.restartPerFolder = job.restartPerFolder;
  options.resolveChains = job.resolveChains;
  return true;
}

int SaveJob(const CliOptions& options) {
  RenameJob job;
  if (!JobFromOptions(options, job)) return kExitUsage;
  std::string problem;
  if (WriteJobFile(options.saveJob, SavedJobOf(options), problem)) return kExitOk;
  PrintProblem(problem);
  return kExitFailure;
}

}  // namespace velmora::cli
