#include "services/settings.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QSettings>
#include <QStringList>
#include <filesystem>
#include <fstream>

#include "services/command_line.h"
#include "services/drives.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A temporary folder with a settings file, two "drives" (folders named in a
// mount table of the test's own) and a folder on one of them.
struct StartFixture : ::testing::Test {
  StartFixture() {
    fs::create_directories(musik);
    std::ofstream(dir + "/mounts") << "/dev/vda / ext4 rw 0 0\n/dev/vda / ext4 rw 0 0\n"
                                   << "proc /proc proc rw 0 0\n"
                                   << "/dev/sdb1 " << dir << "/stick vfat rw 0 0\n"
                                   << "/dev/sdc1 " << dir << "/gone\\040stick vfat rw 0 0\n";
    drives = MountedDrives(dir + "/mounts");
  }
  SettingsStore Store() { return SettingsStore(dir + "/velmora.ini"); }

  testing::TempFolder tmp;
  std::string dir = tmp.path().substr(0, tmp.path().size() - 1);
  std::string stick = dir + "/stick", musik = stick + "/Meine Musik";
  MountedDrives drives;
};

TEST_F(StartFixture, TextRoundTripAndOtherTypes) {
  SettingsStore store = Store();
  store.WriteSetting(kKeyLastPath, "/home/x/Lieder, Ärger");
  EXPECT_EQ(Store().ReadSetting(kKeyLastPath), "/home/x/Lieder, Ärger");
  EXPECT_EQ(store.ReadSetting(kKeyDestPath), "");

  QSettings raw(QString::fromStdString(dir + "/velmora.ini"), QSettings::IniFormat);
  raw.setValue("LastDrive/VMsearch", QByteArray("\x01\x02", 2));
  raw.setValue("destDrive/VMsearch", QByteArray("\xFF\xFF\x00\x00", 4));
  raw.setValue("LastPattern/VMsearch", QStringList{"a", "b"});
  raw.setValue("destPath/VMsearch", QByteArray("12345"));
  raw.setValue("LastPath/VMsearch", QString::fromStdString(std::string("ab\0cd", 5)));
  raw.sync();
  SettingsStore reread = Store();
  EXPECT_EQ(reread.ReadSetting(kKeyLastDrive), "513");
  EXPECT_EQ(reread.ReadSetting(kKeyDestDrive), "-1");
  EXPECT_EQ(reread.ReadSetting(kKeyLastPattern), "");
  EXPECT_EQ(reread.ReadSetting(kKeyDestPath), "");
  EXPECT_EQ(reread.ReadSetting(kKeyLastPath), "ab");
}

TEST_F(StartFixture, RestoreFallbacks) {
  // Root once, proc left out, blanks unescaped; a missing mount point is
  // listed, not ready. Without a table only the root.
  std::vector<std::string> listed;
  for (const Drive& d : drives.Drives()) listed.push_back(d.path + (d.ready ? "" : " -"));
  EXPECT_EQ(listed, (std::vector<std::string>{"/", dir + "/gone stick -", stick}));
  EXPECT_EQ(MountedDrives("/nonexistent/mounts").Drives().size(), 1u);
  // The other defaults of an empty store: the window's start-up test.
  EXPECT_EQ(RestoreStartSettings(Store(), drives, "", "/").destDrive, "/");

  struct Row {
    std::string drive, path, wantDrive, wantFolder;
  } rows[] = {
      {stick, musik, stick, musik},
      {stick, stick + "/geloescht", stick, stick},  // vanished folder: the drive's root
      {dir + "/gone stick", musik, "/", "/"},       // vanished drive: LastPath ignored
      {stick + "/", musik, "/", "/"},               // the whole designation must match
  };
  for (const Row& row : rows) {
    SettingsStore store = Store();
    store.WriteSetting(kKeyLastDrive, row.drive);
    store.WriteSetting(kKeyLastPath, row.path);
    store.WriteSetting(kKeyLastPattern, "");
    store.WriteSetting(kKeyDestPath, "/ziel");
    StartSettings start = RestoreStartSettings(store, drives, "", "/");
    EXPECT_EQ(start.drive, row.wantDrive) << row.drive;
    EXPECT_EQ(start.folder, row.wantFolder) << row.drive;
    EXPECT_EQ(start.pattern, "*.*");
    EXPECT_EQ(start.destPath, "/ziel");  // no separator until the chooser adds one
  }
}

TEST_F(StartFixture, CommandLineFolder) {
  SettingsStore store = Store();
  store.WriteSetting(kKeyLastPattern, "*.mp3");
  struct Row {
    std::vector<std::string> args;
    std::string working, wantDrive, wantFolder, wantPattern;
  } rows[] = {
      {{stick + "/Meine", "Musik/"}, "/", stick, musik, "*.mp3"},      // unquoted blanks
      {{"Meine Musik/../Meine Musik"}, stick, stick, musik, "*.mp3"},  // relative
      {{"\"" + musik + "\""}, "/", "/", "/", "*.*"},  // quoted: no folder, all defaults
      {{dir + "/mounts"}, "/", "/", "/", "*.*"},      // a file, not a folder
  };
  for (const Row& row : rows) {
    StartSettings start =
        RestoreStartSettings(store, drives, CommandLineText(row.args), row.working);
    EXPECT_EQ(start.drive, row.wantDrive) << row.args[0];
    EXPECT_EQ(start.folder, row.wantFolder) << row.args[0];
    EXPECT_EQ(start.pattern, row.wantPattern) << row.args[0];
  }
}

}  // namespace
}  // namespace velmora
