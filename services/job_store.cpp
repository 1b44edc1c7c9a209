#include "services/job_store.h"

#include <algorithm>

#include "engine/path.h"
#include "services/settings.h"

namespace velmora {
namespace {

std::string RecentKey(int index) { return "RecentJob" + std::to_string(index + 1); }

}  // namespace

std::string JobFolder(const SettingsStore& store) {
  const std::string file = store.FileName();
  const std::size_t slash = file.rfind(kPathSeparator);
  return (slash == std::string::npos ? std::string(".") : file.substr(0, slash)) + "/jobs";
}

std::vector<std::string> RecentJobs(const SettingsStore& store) {
  std::vector<std::string> paths;
  for (int i = 0; i < kRecentJobCount; ++i) {
    std::string path = store.ReadSetting(RecentKey(i));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

void RememberJob(SettingsStore& store, const std::string& path) {
  std::vector<std::string> paths = RecentJobs(store);
  std::erase(paths, path);
  paths.insert(paths.begin(), path);
  for (int i = 0; i < kRecentJobCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    store.WriteSetting(RecentKey(i), index < paths.size() ? paths[index] : std::string());
  }
}

}  // namespace velmora
