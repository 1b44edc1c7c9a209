// The summary record that ends a sealed segment: what its scan keeps, so
// that a later look reads its last line instead of the whole segment.
#include <algorithm>
#include <cctype>

#include "services/journal_format.h"
#include "services/journal_parse.h"
#include "services/journal_scan.h"

namespace velmora {
namespace {

bool IsRunName(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-')) return false;
  }
  return true;
}

// The flags of a run in a summary, one hex digit.
enum : unsigned {
  kHasRecord = 1,  // in runs
  kEnds = 2,       // in ended
  kLetter = 4,     // in begun
  kBegun = 8,      // ... as a B
};

// The summary ends "\tLENGTH\tCRC\n", LENGTH the line's with its LF.
constexpr std::size_t kLengthDigits = 10;
constexpr std::size_t kLengthTail = 1 + kLengthDigits + 1 + 8 + 1;

bool Digits(std::string_view text, std::size_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  return true;
}

}  // namespace

void SegmentScanner::Line(std::string_view line, bool torn) {
  torn_ = torn_ || torn;
  // The letter look: no checksums, torn tail and other versions included.
  if (line.size() >= 3 && line[1] == '\t' && (line[0] == 'B' || line[0] == 'E' || line[0] == 'X')) {
    std::string run(line.substr(2, line.find('\t', 2) - 2));
    out_.begun[std::move(run)] = line[0] == 'B';
  }
  if (seen_ == kHeader) {
    if (!torn && !line.empty() && line.front() != '#') Record(line);
  } else if (seen_ == kNothing && (!line.empty() || torn)) {
    if (line == kJournalHeaderV2) {
      seen_ = kVersion2;
    } else {
      seen_ = line == kJournalHeader && !torn ? kHeader : kOther;
    }
  }
}

void SegmentScanner::Lines(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
    Line(text.substr(start, end - start), false);
  }
  if (start < text.size()) Line(text.substr(start), true);
}

void SegmentScanner::Lines(std::string_view text, const RecordsOf& of) {
  // Before the header the lines are read: they may be that header.
  if (seen_ != kHeader) {
    Lines(text);
    return;
  }
  if (text.empty()) return;
  // What Record finds in them: checked records of one run, no end.
  if (of.run != last_) {
    out_.runs.emplace(of.run);
    last_ = of.run;
  }
  out_.intents += of.intents;
}

// One record of a version-3 segment; damaged and foreign ones name no run,
// as for the reader. A record of the run before it adds nothing but its
// intent, so only the others and the ends are checked.
void SegmentScanner::Record(std::string_view line) {
  if (line.size() < 3 || line[1] != '\t' ||
      std::string_view("BFIDAUEX").find(line[0]) == std::string_view::npos) {
    return;
  }
  const std::size_t tab = line.find('\t', 2);
  const std::string_view run = line.substr(2, tab - 2);
  const bool ends = line[0] == 'E' || line[0] == 'X';
  std::string_view record;
  if (run != last_ || ends) {
    if (!UnframeRecord(line, record) || tab >= record.size() || !IsRunName(run)) return;
    if (run != last_) {
      out_.runs.emplace(run);
      last_ = run;
    }
  }
  if (line[0] == 'I') ++out_.intents;
  if (!ends) return;
  const std::string_view time = record.substr(tab + 1);
  std::string unescaped;
  if (time.find('\t') == std::string_view::npos && UnescapeJournalText(time, unescaped) &&
      !unescaped.empty()) {
    out_.ended.emplace(run);
  }
}

// "S INTENTS RUN... LENGTH CRC", each RUN its flags' hex digit and its
// name. Runs begun and ended here are named too: trimming deletes their run
// files by name (one left by a run that compaction ended, say).
std::string SegmentScanner::Summary() const {
  std::unordered_map<std::string, unsigned> flags;
  for (const std::string& run : out_.runs) flags[run] |= kHasRecord;
  for (const std::string& run : out_.ended) flags[run] |= kEnds;
  for (const auto& [run, begun] : out_.begun) flags[run] |= begun ? kLetter | kBegun : kLetter;
  std::string record = "S\t";
  AppendNumber(record, static_cast<long long>(out_.intents));
  for (const auto& [run, bits] : flags) {
    record += '\t';
    record += "0123456789abcdef"[bits];
    AppendEscaped(record, run);
  }
  record += '\t';
  const std::string length = std::to_string(record.size() + kLengthTail - 1);
  record.append(kLengthDigits - std::min(kLengthDigits, length.size()), '0');
  record += length;
  return FrameRecord(record);
}

bool ReadSummary(std::string_view line, SegmentScan& scan) {
  std::string_view record;
  if (!line.starts_with("S\t") || !UnframeRecord(line, record)) return false;
  const std::vector<std::string_view> f = JournalFields(record);
  std::size_t length = 0;
  if (f.size() < 3 || f.back().size() != kLengthDigits || !Digits(f.back(), length) ||
      length != line.size() + 1 || !Digits(f[1], scan.intents)) {
    return false;
  }
  std::string run;
  for (std::size_t i = 2; i + 1 < f.size(); ++i) {
    const std::size_t digit =
        f[i].empty() ? 16 : std::string_view("0123456789abcdef").find(f[i][0]);
    if (digit >= 16 || !UnescapeJournalText(f[i].substr(1), run)) return false;
    if (digit & kHasRecord) scan.runs.insert(run);
    if (digit & kEnds) scan.ended.insert(run);
    if (digit & kLetter) scan.begun[run] = (digit & kBegun) != 0;
  }
  scan.usable = true;
  return true;
}

bool SummaryAtEnd(OpenFile& file, std::int64_t size, SegmentScan& scan) {
  // Its own length sits at a fixed place from the end: one small read, a
  // second only for a summary longer than that.
  constexpr std::size_t kTail = 4096;
  std::string tail(static_cast<std::size_t>(std::min<std::int64_t>(size, kTail)), '\0');
  if (tail.size() < kLengthTail + 3 ||
      file.ReadAt(size - static_cast<std::int64_t>(tail.size()), tail.data(), tail.size())) {
    return false;
  }
  std::size_t length = 0;
  const std::size_t at = tail.size() - kLengthTail;
  if (tail.back() != '\n' || tail[at] != '\t' ||
      !Digits(std::string_view(tail).substr(at + 1, kLengthDigits), length) ||
      length + 1 >= static_cast<std::size_t>(size)) {
    return false;
  }
  std::string longer;
  std::string_view line;  // with the LF before it
  if (length + 1 <= tail.size()) {
    line = std::string_view(tail).substr(tail.size() - length - 1);
  } else {
    longer.resize(length + 1);
    if (file.ReadAt(size - static_cast<std::int64_t>(length + 1), longer.data(), longer.size())) {
      return false;
    }
    line = longer;
  }
  return line.front() == '\n' && ReadSummary(line.substr(1, length - 1), scan);
}

}  // namespace velmora
