#include "services/journal_parse.h"

#include <cctype>
#include <cstdint>

#include "services/journal_format.h"

namespace velmora {
namespace {

constexpr char kHeaderPrefix[] = "# velmora journal ";

// Run names end up in file names: letters, digits and "-" only.
bool IsRunName(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-')) return false;
  }
  return true;
}

bool ParseUnsigned(std::string_view text, std::uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  // Digits only, no copy, no locale: a journal holds hundreds of thousands
  // of numbers. Only a twentieth digit can overflow.
  const auto digitAt = [&text](std::size_t i) {
    return static_cast<std::uint64_t>(static_cast<unsigned char>(text[i]) - '0');
  };
  std::uint64_t number = 0;
  const std::size_t safe = text.size() < 19 ? text.size() : 19;
  for (std::size_t i = 0; i < safe; ++i) {
    const std::uint64_t digit = digitAt(i);
    if (digit > 9) return false;
    number = number * 10 + digit;
  }
  if (text.size() == 20) {
    const std::uint64_t digit = digitAt(19);
    if (digit > 9 || number > (UINT64_MAX - digit) / 10) return false;
    number = number * 10 + digit;
  }
  value = number;
  return true;
}

bool ParseSigned(std::string_view text, std::int64_t& value) {
  const bool negative = !text.empty() && text[0] == '-';
  std::uint64_t magnitude = 0;
  if (!ParseUnsigned(negative ? text.substr(1) : text, magnitude) ||
      magnitude > static_cast<std::uint64_t>(INT64_MAX)) {
    return false;
  }
  value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

bool ParseSeq(std::string_view text, long& seq) {
  std::int64_t value = 0;
  if (!ParseSigned(text, value) || value < 1) return false;
  seq = static_cast<long>(value);
  return true;
}

bool ParsePayload(const std::vector<std::string_view>& f, std::size_t first, JournalPayload& p) {
  if (f[first] == "-") {
    p = {};
    return f[first + 1] == "-" && f[first + 2] == "-";
  }
  std::uint64_t crc = 0;
  const std::string_view hex = f[first + 2];
  if (hex.size() != 8) return false;
  for (char c : hex) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    crc = crc << 4 | static_cast<std::uint64_t>(digit);
  }
  p.present = true;
  p.crc = static_cast<std::uint32_t>(crc);
  return ParseSigned(f[first], p.offset) && ParseSigned(f[first + 1], p.length) && p.offset >= 0 &&
         p.length >= 0;
}

// As UnescapeJournalText, copied at once when nothing is escaped (nearly always).
bool Unescape(std::string_view text, std::string& out) {
  if (text.find('\\') == std::string_view::npos) {
    out.assign(text);
    return true;
  }
  return UnescapeJournalText(text, out);
}

// Whether UnescapeJournalText would take text, without building it.
bool ValidEscapes(std::string_view text) {
  for (std::size_t i = text.find('\\'); i != std::string_view::npos; i = text.find('\\', i + 2)) {
    if (i + 1 == text.size()) return false;
    const char c = text[i + 1];
    if (c != '\\' && c != 't' && c != 'n' && c != 'r') return false;
  }
  return true;
}

}  // namespace

JournalParser::JournalParser(JournalContents& contents, bool statesOnly)
    : contents_(contents), statesOnly_(statesOnly) {
  for (std::size_t i = 0; i < contents_.runs.size(); ++i) runs_[contents_.runs[i].id] = i;
  for (std::size_t i = 0; i < contents_.steps.size(); ++i) {
    const JournalStep& step = contents_.steps[i];
    RunNamed(step.run);
    steps_[{runs_[step.run], step.seq}] = i;
  }
}

Error JournalParser::Add(std::string_view text, const std::string& name, Segment* segment) {
  Segment ignored;
  Segment& seen = segment != nullptr ? *segment : ignored;
  version_ = 0;
  sameRun_ = false;
  // About one step for every two records of some 150 bytes: grown once.
  steps_.reserve(steps_.size() + text.size() / 300);
  std::size_t lineNumber = 0;
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) break;  // a torn tail: the write was cut short
    std::string_view line = text.substr(begin, end - begin);
    begin = end + 1;
    ++lineNumber;
    if (version_ == 0 && !line.empty()) {
      if (line == kJournalHeader) version_ = 3;
      if (line == kJournalHeaderV2) version_ = 2;
      if (version_ == 0) {
        return {kInvalidFileFormat, line.starts_with(kHeaderPrefix)
                                        ? "Journal version no longer read: " + name
                                        : "Not a journal: " + name};
      }
      seen.version2 = version_ == 2;
      continue;
    }
    if (line.empty() || line.front() == '#') continue;
    std::string_view record = line;
    if (version_ == 2 && record.back() == '\r') record.remove_suffix(1);
    const bool framed = version_ == 2 || UnframeRecord(line, record);
    if (!framed || !Record(record, seen)) {
      contents_.warnings.push_back(name + ":" + std::to_string(lineNumber));
      seen.damaged = true;
    }
  }
  return {};
}

void JournalParser::Split(std::string_view record) {
  fields_.clear();
  for (std::size_t begin = 0;;) {
    const std::size_t cut = record.find('\t', begin);
    if (cut == std::string_view::npos) {
      fields_.push_back(record.substr(begin));
      return;
    }
    fields_.push_back(record.substr(begin, cut - begin));
    begin = cut + 1;
  }
}

bool JournalParser::Record(std::string_view record, Segment& segment) {
  Split(record);
  const std::vector<std::string_view>& f = fields_;
  const std::string_view letter = f[0];
  // A sealed segment's summary, for its scan only.
  if (letter == "S" && version_ == 3) return true;
  if (letter.size() != 1 ||
      std::string_view("BFIDAUEX").find(letter[0]) == std::string_view::npos ||
      (version_ == 2 && (letter == "F" || letter == "X"))) {
    contents_.foreign.emplace_back(record);
    segment.foreign = true;
    return true;
  }
  if (f.size() < 3) return false;
  // Most records name the run of the record before: checked and noted once.
  if (!sameRun_ || f[1] != run_) {
    if (!IsRunName(f[1])) return false;
    run_.assign(f[1]);
    runIndex_ = kUnknownRun;
    sameRun_ = true;
    segment.runs.insert(run_);
  }
  const std::string& run = run_;
  if (letter == "B") {
    runIndex_ = kUnknownRun;
    JournalRun& r = RunNamed(run);
    return f.size() == 4 && UnescapeJournalText(f[2], r.began) && !r.began.empty() &&
           UnescapeJournalText(f[3], r.command);
  }
  if (letter == "E" || letter == "X") {
    runIndex_ = kUnknownRun;
    JournalRun& r = RunNamed(run);
    if (letter == "X") r.dismissed = true;
    std::string time;
    if (f.size() != 3 || !UnescapeJournalText(f[2], time) || time.empty()) return false;
    if (r.ended.empty()) r.ended = time;
    return true;
  }
  if (letter == "F") {
    JournalFolder folder{run, {}, {}};
    if (f.size() != 9 || !UnescapeJournalText(f[2], folder.path) || !Identity(f, 3, folder.id)) {
      return false;
    }
    contents_.folders.push_back(std::move(folder));
    return true;
  }
  return letter == "I" ? Intent(f, run) : Later(f, run);
}

bool JournalParser::Intent(const std::vector<std::string_view>& f, const std::string& run) {
  const std::size_t idFields = version_ == 2 ? 4 : 6;
  const std::size_t count = 6 + idFields + (version_ == 2 ? 0 : 3);
  JournalStep step;
  if (f.size() != count || !ParseSeq(f[2], step.seq) || f[3].size() != 1) return false;
  const bool paths = statesOnly_ ? ValidEscapes(f[4]) && ValidEscapes(f[5])
                                 : Unescape(f[4], step.source) && Unescape(f[5], step.target);
  if (!paths || !Identity(f, 6, step.before) ||
      (version_ == 3 && !ParsePayload(f, 12, step.payload))) {
    return false;
  }
  if (runIndex_ == kUnknownRun) {
    RunNamed(run);
    runIndex_ = runs_[run];
  }
  if (statesOnly_) {
    steps_[{runIndex_, step.seq}] = states_.size();
    states_.push_back({runIndex_, StepState::kPending});
    return true;
  }
  step.run = run;
  step.kind = f[3][0];
  steps_[{runIndex_, step.seq}] = contents_.steps.size();
  contents_.steps.push_back(std::move(step));
  return true;
}

bool JournalParser::Later(const std::vector<std::string_view>& f, const std::string& run) {
  long seq = 0;
  if (!ParseSeq(f[2], seq)) return false;
  const bool done = f[0] == "D";
  if (f.size() != (done ? 3 + (version_ == 2 ? 4u : 6u) : 3u)) return false;
  StepIdentity after;
  if (done && !Identity(f, 3, after)) return false;
  // Not found: its intent went with an older segment.
  if (runIndex_ == kUnknownRun) {
    const auto known = runs_.find(run);
    if (known == runs_.end()) return true;
    runIndex_ = known->second;
  }
  const auto found = steps_.find({runIndex_, seq});
  if (found == steps_.end()) return true;
  const StepState state = done          ? StepState::kDone
                          : f[0] == "A" ? StepState::kAbandoned
                                        : StepState::kUndone;
  if (statesOnly_) {
    states_[found->second].state = state;
    return true;
  }
  JournalStep& step = contents_.steps[found->second];
  step.state = state;
  if (done) step.after = after;
  return true;
}

void JournalParser::Reserve(std::size_t steps) {
  if (statesOnly_) {
    states_.reserve(steps);
  } else {
    contents_.steps.reserve(steps);
  }
  steps_.reserve(steps);
}

std::vector<std::size_t> JournalParser::OpenSteps() const {
  std::vector<std::size_t> open(contents_.runs.size());
  for (const StepOfRun& step : states_) {
    if (step.state == StepState::kPending || step.state == StepState::kDone) ++open[step.run];
  }
  return open;
}

// From first: SIZE MTIME DEV INO, then in version 3 FSID STABLE; "-" each.
bool JournalParser::Identity(const std::vector<std::string_view>& f, std::size_t first,
                             StepIdentity& id) const {
  const std::size_t count = version_ == 2 ? 4 : 6;
  id = {};
  if (f[first] == "-") {
    for (std::size_t i = first; i < first + count; ++i) {
      if (f[i] != "-") return false;
    }
    return true;
  }
  id.known = true;
  if (!ParseSigned(f[first], id.size) || !ParseSigned(f[first + 1], id.mtimeNs) ||
      !ParseUnsigned(f[first + 2], id.device) || !ParseUnsigned(f[first + 3], id.inode)) {
    return false;
  }
  if (version_ == 2) return true;
  const std::string_view stable = f[first + 5];
  id.inodeStable = stable == "1";
  return ParseUnsigned(f[first + 4], id.fsid) && (stable == "0" || stable == "1");
}

JournalRun& JournalParser::RunNamed(const std::string& id) {
  const auto [at, added] = runs_.emplace(id, contents_.runs.size());
  if (added) contents_.runs.push_back({id, "-", "", "", false});
  return contents_.runs[at->second];
}

Error ParseJournal(std::string_view text, JournalContents& contents, const std::string& name) {
  JournalParser parser(contents);
  return parser.Add(text, name);
}

std::string FormatJournal(const JournalContents& contents) {
  std::string text = std::string(kJournalHeader) + '\n';
  for (const std::string& line : contents.foreign) text += FrameRecord(line);
  for (const JournalRun& run : contents.runs) {
    text += FrameRecord("B\t" + run.id + '\t' + EscapeJournalText(run.began) + '\t' +
                        EscapeJournalText(run.command));
    for (const JournalFolder& folder : contents.folders) {
      if (folder.run != run.id) continue;
      text += FrameRecord("F\t" + run.id + '\t' + EscapeJournalText(folder.path) + '\t' +
                          IdentityFields(folder.id));
    }
    for (const JournalStep& step : contents.steps) {
      if (step.run != run.id) continue;
      const std::string key = run.id + '\t' + std::to_string(step.seq);
      text += FrameRecord("I\t" + key + '\t' + step.kind + '\t' + EscapeJournalText(step.source) +
                          '\t' + EscapeJournalText(step.target) + '\t' +
                          IdentityFields(step.before) + '\t' + PayloadFields(step.payload));
      if (step.state == StepState::kDone) {
        text += FrameRecord("D\t" + key + '\t' + IdentityFields(step.after));
      } else if (step.state != StepState::kPending) {
        text += FrameRecord((step.state == StepState::kAbandoned ? "A\t" : "U\t") + key);
      }
    }
    if (!run.ended.empty()) {
      text += FrameRecord((run.dismissed ? "X\t" : "E\t") + run.id + '\t' +
                          EscapeJournalText(run.ended));
    }
  }
  return text;
}

}  // namespace velmora
