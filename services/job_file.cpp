#include "services/job_file.h"

#include <fstream>
#include <map>
#include <sstream>

#include "engine/operation_names.h"
#include "search/name_order.h"
#include "services/journal_format.h"
#include "services/language.h"

namespace velmora {
namespace {

// Values are escaped as journal text; a value whose escapes do not read
// (written by hand, such as a pattern's "\d") is taken as it stands.
std::string Escaped(const std::string& text) { return EscapeJournalText(text); }

std::string Unescaped(const std::string& text) {
  std::string out;
  return UnescapeJournalText(text, out) ? out : text;
}

using Keys = std::map<std::string, std::string>;
using Sections = std::map<std::string, Keys>;

Sections Parse(std::istream& in) {
  Sections sections;
  std::string section;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line[0] == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    sections[section][line.substr(0, equals)] = Unescaped(line.substr(equals + 1));
  }
  return sections;
}

const char* Switch(bool on) { return on ? "1" : "0"; }

// Reads the [Job] keys that are there; the others keep what job holds.
void ReadJobKeys(const Keys& keys, SavedJob& job) {
  const auto text = [&keys](const char* key, std::string& value) {
    if (const auto it = keys.find(key); it != keys.end()) value = it->second;
  };
  const auto flag = [&keys](const char* key, bool& value) {
    if (const auto it = keys.find(key); it != keys.end()) value = it->second == "1";
  };
  text("Pattern", job.pattern);
  flag("Subdirs", job.subdirs);
  text("Order", job.order);
  flag("OrderReverse", job.orderReverse);
  text("NumberStep", job.numberStep);
  flag("RestartPerFolder", job.restartPerFolder);
  flag("ResolveChains", job.resolveChains);
}

// The slots; a digit code is no name: a job names its operations.
bool ReadSlots(Sections& sections, SavedJob& job, std::string& problem) {
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    job.slotCode[i] = 0;
    job.first[i].clear();
    job.second[i].clear();
    const auto slot = sections.find("Slot" + std::to_string(i + 1));
    if (slot == sections.end()) continue;
    Keys& keys = slot->second;
    const std::string& name = keys["Operation"];
    const int code = OperationCode(name);
    if (code < 0 || name == std::to_string(code)) {
      problem = WithArgs(Tr("velmora", "Unbekannte Operation im Auftrag: %1"), {name});
      return false;
    }
    job.slotCode[i] = code;
    job.first[i] = keys["First"];
    job.second[i] = keys["Second"];
  }
  return true;
}

}  // namespace

bool WriteJobFile(const std::string& path, const SavedJob& job, std::string& problem) {
  std::ostringstream out;
  out << "# Velmora job\n[Job]\nVersion=" << kJobFileVersion << "\nPattern=" << Escaped(job.pattern)
      << "\nSubdirs=" << Switch(job.subdirs) << "\nOrder=" << Escaped(job.order)
      << "\nOrderReverse=" << Switch(job.orderReverse) << "\nNumberStep=" << Escaped(job.numberStep)
      << "\nRestartPerFolder=" << Switch(job.restartPerFolder)
      << "\nResolveChains=" << Switch(job.resolveChains) << "\n";
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const int code = job.slotCode[i];
    if (code <= 0 || code >= kOperationCount) continue;
    out << "[Slot" << i + 1 << "]\nOperation=" << OperationNames()[static_cast<std::size_t>(code)]
        << "\nFirst=" << Escaped(job.first[i]) << "\nSecond=" << Escaped(job.second[i]) << "\n";
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << out.str();
  file.close();
  if (!file) {
    problem = WithArgs(Tr("velmora", "Auftrag nicht geschrieben: %1"), {path});
    return false;
  }
  return true;
}

bool ReadJobFile(const std::string& path, SavedJob& job, std::string& problem) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    problem = WithArgs(Tr("velmora", "Auftrag nicht lesbar: %1"), {path});
    return false;
  }
  Sections sections = Parse(file);
  const Keys& keys = sections["Job"];
  const auto version = keys.find("Version");
  if (version == keys.end() || version->second != std::to_string(kJobFileVersion)) {
    problem = WithArgs(Tr("velmora", "Kein Auftrag dieser Version: %1"), {path});
    return false;
  }
  ReadJobKeys(keys, job);
  OrderBy by = OrderBy::kName;
  if (!ParseOrderName(job.order, by)) {
    problem = WithArgs(Tr("velmora", "Unbekannte Reihenfolge im Auftrag: %1"), {job.order});
    return false;
  }
  return ReadSlots(sections, job, problem);
}

}  // namespace velmora
