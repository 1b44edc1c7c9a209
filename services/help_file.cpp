#include "services/help_file.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "engine/path.h"
#include "services/language.h"
#include "tags/windows1252.h"

// The data folder relative to the program's, set by the build; the default
// matches GNUInstallDirs.
#ifndef VELMORA_DATA_FROM_BIN
#define VELMORA_DATA_FROM_BIN "../share/velmora"
#endif

namespace velmora {
namespace {

std::string Join(std::string folder, const std::string& name) {
  if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder + name;
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsUtf8(const std::string& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t more = 0;
    if (lead < 0x80) {
      more = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3;
    } else {
      return false;
    }
    if (i + more >= bytes.size()) return false;
    for (std::size_t k = 1; k <= more; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    i += more + 1;
  }
  return true;
}

}  // namespace

std::string InstalledDataFolder(const std::string& programFolder) {
  return Join(programFolder, VELMORA_DATA_FROM_BIN);
}

namespace {

// name beside the program or installed; "" when neither is there.
std::string Located(const std::string& programFolder, const char* name) {
  const std::string beside = Join(programFolder, name);
  if (IsFile(beside)) return beside;
  const std::string installed = Join(InstalledDataFolder(programFolder), name);
  if (!programFolder.empty() && IsFile(installed)) return installed;
  return {};
}

}  // namespace

std::string FindHelpFile(const std::string& programFolder) {
  if (CurrentLanguage() == Language::kEnglish) {
    const std::string english = Located(programFolder, kEnglishHelpFileName);
    if (!english.empty()) return english;
  }
  const std::string german = Located(programFolder, kHelpFileName);
  return german.empty() ? Join(programFolder, kHelpFileName) : german;
}

HelpText ReadHelpFile(const std::string& path) {
  HelpText text;
  if (!IsFile(path)) return text;
  std::ifstream in(path, std::ios::binary);
  if (!in) return text;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return text;
  if (!IsUtf8(bytes)) bytes = Windows1252ToUtf8(bytes);
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    text.lines.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) text.lines.push_back(std::move(line));
  text.ok = true;
  return text;
}

}  // namespace velmora
