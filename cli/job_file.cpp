#include "cli/job_file.h"

#include <fstream>
#include <map>
#include <sstream>

#include "cli/console.h"
#include "cli/job_options.h"
#include "services/translation.h"

namespace velmora::cli {
namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
  }
  return out;
}

using Sections = std::map<std::string, std::map<std::string, std::string>>;

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

// Reads the [Job] keys that are there; the others keep what options holds.
void ReadJobKeys(const std::map<std::string, std::string>& keys, CliOptions& options) {
  const auto text = [&keys](const char* key, std::string& value) {
    if (const auto it = keys.find(key); it != keys.end()) value = it->second;
  };
  const auto flag = [&keys](const char* key, bool& value) {
    if (const auto it = keys.find(key); it != keys.end()) value = it->second == "1";
  };
  text("Pattern", options.pattern);
  flag("Subdirs", options.subdirs);
  text("Order", options.order);
  flag("OrderReverse", options.reverse);
  text("NumberStep", options.numberStep);
  flag("RestartPerFolder", options.restartPerFolder);
  flag("ResolveChains", options.resolveChains);
}

}  // namespace

bool WriteJobFile(const std::string& path, const CliOptions& options, std::string& problem) {
  std::ostringstream out;
  out << "# Velmora job\n[Job]\nVersion=" << kJobFileVersion
      << "\nPattern=" << Escaped(options.pattern) << "\nSubdirs=" << Switch(options.subdirs)
      << "\nOrder=" << Escaped(options.order) << "\nOrderReverse=" << Switch(options.reverse)
      << "\nNumberStep=" << Escaped(options.numberStep)
      << "\nRestartPerFolder=" << Switch(options.restartPerFolder)
      << "\nResolveChains=" << Switch(options.resolveChains) << "\n";
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const int code = OperationCode(options.slotOperation[i]);
    if (code <= 0) continue;
    out << "[Slot" << i + 1 << "]\nOperation=" << OperationNames()[static_cast<std::size_t>(code)]
        << "\nFirst=" << Escaped(options.slotSource[i])
        << "\nSecond=" << Escaped(options.slotDestination[i]) << "\n";
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

bool ReadJobFile(const std::string& path, CliOptions& options, std::string& problem) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    problem = WithArgs(Tr("velmora", "Auftrag nicht lesbar: %1"), {path});
    return false;
  }
  Sections sections = Parse(file);
  const std::map<std::string, std::string>& job = sections["Job"];
  const auto version = job.find("Version");
  if (version == job.end() || version->second != std::to_string(kJobFileVersion)) {
    problem = WithArgs(Tr("velmora", "Kein Auftrag dieser Version: %1"), {path});
    return false;
  }
  ReadJobKeys(job, options);
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const auto slot = sections.find("Slot" + std::to_string(i + 1));
    options.slotOperation[i] = "0";
    options.slotSource[i].clear();
    options.slotDestination[i].clear();
    if (slot == sections.end()) continue;
    std::map<std::string, std::string>& keys = slot->second;
    const std::string& name = keys["Operation"];
    if (OperationCode(name) < 0 || name == std::to_string(OperationCode(name))) {
      problem = WithArgs(Tr("velmora", "Unbekannte Operation im Auftrag: %1"), {name});
      return false;
    }
    options.slotOperation[i] = name;
    options.slotSource[i] = keys["First"];
    options.slotDestination[i] = keys["Second"];
  }
  return true;
}

int SaveJob(const CliOptions& options) {
  RenameJob job;
  if (!JobFromOptions(options, job)) return kExitUsage;
  std::string problem;
  if (WriteJobFile(options.saveJob, options, problem)) return kExitOk;
  PrintProblem(problem);
  return kExitFailure;
}

}  // namespace velmora::cli
