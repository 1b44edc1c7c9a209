// The per-user settings store (QSettings: an INI file in the user's
// configuration folder) and the restore of the search and destination
// settings at start.
#pragma once

#include <memory>
#include <string>

#include "search/drive_info.h"
#include "search/settings_writer.h"

class QSettings;

namespace velmora {

class SettingsStore : public SettingsWriter {
 public:
  // The user's own store.
  SettingsStore();
  // An INI file at iniFile instead (tests use a temporary folder).
  explicit SettingsStore(const std::string& iniFile);
  ~SettingsStore() override;

  // Stores text as the value kSettingValueName of key and flushes it to
  // disk. Failures are silent.
  void WriteSetting(const std::string& key, const std::string& text) override;

  // The text stored under key; up to its first NUL character. A binary value
  // reads as the decimal of its first two bytes (signed, little-endian); a
  // value of any other type, a binary longer than 4 bytes, or a missing key
  // reads as "".
  [[nodiscard]] std::string ReadSetting(const std::string& key) const;

  // The store's own file; saved jobs live beside it.
  [[nodiscard]] std::string FileName() const;

 private:
  std::unique_ptr<QSettings> settings_;
};

// "Ketten auflösen", stored under kKeyResolveChains as "1" or "0"; on
// unless stored off.
inline constexpr char kKeyResolveChains[] = "ResolveChains";
bool ReadResolveChains(const SettingsStore& store);
void WriteResolveChains(SettingsStore& store, bool on);

// What the window starts with.
struct StartSettings {
  std::string drive;
  std::string folder;
  std::string pattern;
  std::string destPath;
  std::string destDrive;
};

// "/", "/", "*.*", "/", "/": used whole when the command line names no folder.
StartSettings DefaultStartSettings();

// Start-up restore. commandLineText "" : drive from LastDrive when that drive
// is ready (else "/"), then, only when it was taken, the folder from LastPath
// when present (else the drive's root). A command-line text: drive and folder
// from it (StartFolderFromCommandLine), or DefaultStartSettings() when it
// names no folder. Then pattern (LastPattern, "*.*" when empty), destPath and
// destDrive ("/" when empty).
StartSettings RestoreStartSettings(const SettingsStore& store, DriveInfo& drives,
                                   const std::string& commandLineText,
                                   const std::string& workingFolder);

}  // namespace velmora
