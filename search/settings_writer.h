// Where the search command and the destination chooser store what the user
// chose. The settings store implements it; tests record the calls.
#pragma once

#include <string>

namespace velmora {

// The five keys; each holds one text value named kSettingValueName.
inline constexpr char kKeyLastDrive[] = "LastDrive";
inline constexpr char kKeyLastPath[] = "LastPath";
inline constexpr char kKeyLastPattern[] = "LastPattern";
inline constexpr char kKeyDestPath[] = "destPath";
inline constexpr char kKeyDestDrive[] = "destDrive";
inline constexpr char kSettingValueName[] = "VMsearch";

class SettingsWriter {
 public:
  virtual ~SettingsWriter() = default;

  // Stores text under key at once. Failures are silent.
  virtual void WriteSetting(const std::string& key, const std::string& text) = 0;
};

}  // namespace velmora
