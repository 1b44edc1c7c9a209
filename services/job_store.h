// Where the window keeps saved jobs: the folder "jobs" beside the settings
// store (~/.config/Velmora/jobs), and the paths of the last few job files
// saved or loaded, newest first, as RecentJob1 to RecentJob4 in the store.
// The store keeps only those paths, never a job itself.
#pragma once

#include <string>
#include <vector>

namespace velmora {

class SettingsStore;

inline constexpr int kRecentJobCount = 4;

// The folder for job files beside store's file, without a trailing separator.
std::string JobFolder(const SettingsStore& store);

// The stored paths, newest first; empty entries skipped.
std::vector<std::string> RecentJobs(const SettingsStore& store);

// Puts path first in the list (once), the oldest beyond kRecentJobCount dropped.
void RememberJob(SettingsStore& store, const std::string& path);

}  // namespace velmora
