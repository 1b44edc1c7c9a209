#include "services/settings.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <cstdint>

#include "engine/path.h"
#include "services/command_line.h"

namespace velmora {
namespace {

QString ValueKey(const std::string& key) {
  return QString::fromStdString(key) + QLatin1Char('/') + QLatin1String(kSettingValueName);
}

// A binary value of up to four bytes reads as its first two bytes taken as
// a signed 16-bit little-endian number.
std::string BinaryText(const QByteArray& bytes) {
  if (bytes.size() > 4) return {};
  auto low = static_cast<std::uint8_t>(bytes.size() > 0 ? bytes[0] : 0);
  auto high = static_cast<std::uint8_t>(bytes.size() > 1 ? bytes[1] : 0);
  auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
  return std::to_string(value);
}

std::string OrDefault(std::string text, const char* fallback) {
  return text.empty() ? std::string(fallback) : text;
}

}  // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Velmora"), QStringLiteral("Velmora"))) {
}

SettingsStore::SettingsStore(const std::string& iniFile)
    : settings_(
          std::make_unique<QSettings>(QString::fromStdString(iniFile), QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

void SettingsStore::WriteSetting(const std::string& key, const std::string& text) {
  settings_->setValue(ValueKey(key), QString::fromStdString(text));
  settings_->sync();
}

std::string SettingsStore::ReadSetting(const std::string& key) const {
  QVariant value = settings_->value(ValueKey(key));
  switch (value.typeId()) {
    case QMetaType::QString: {
      std::string text = value.toString().toStdString();
      std::size_t nul = text.find('\0');
      if (nul != std::string::npos) text.resize(nul);
      return text;
    }
    case QMetaType::QByteArray:
      return BinaryText(value.toByteArray());
    default:
      return {};
  }
}

std::string SettingsStore::FileName() const { return settings_->fileName().toStdString(); }

StartSettings DefaultStartSettings() {
  return {kRootFolder, kRootFolder, "*.*", kRootFolder, kRootFolder};
}

StartSettings RestoreStartSettings(const SettingsStore& store, DriveInfo& drives,
                                   const std::string& commandLineText,
                                   const std::string& workingFolder) {
  StartSettings start = DefaultStartSettings();
  if (!commandLineText.empty()) {
    std::optional<StartFolder> folder =
        StartFolderFromCommandLine(commandLineText, workingFolder, drives);
    if (!folder) return DefaultStartSettings();
    start.drive = folder->drive;
    start.folder = folder->folder;
  } else {
    std::string drive = store.ReadSetting(kKeyLastDrive);
    if (drives.IsDriveReady(drive)) {
      start.drive = drive;
      // A vanished folder falls back to the root of the restored drive.
      std::string folder = store.ReadSetting(kKeyLastPath);
      bool present =
          !folder.empty() && folder.front() == kPathSeparator && drives.IsFolderPresent(folder);
      start.folder = present ? folder : drive;
    }
  }
  start.pattern = OrDefault(store.ReadSetting(kKeyLastPattern), "*.*");
  start.destPath = OrDefault(store.ReadSetting(kKeyDestPath), kRootFolder);
  start.destDrive = OrDefault(store.ReadSetting(kKeyDestDrive), kRootFolder);
  return start;
}

bool ReadResolveChains(const SettingsStore& store) {
  return store.ReadSetting(kKeyResolveChains) != "0";
}

void WriteResolveChains(SettingsStore& store, bool on) {
  store.WriteSetting(kKeyResolveChains, on ? "1" : "0");
}

}  // namespace velmora
