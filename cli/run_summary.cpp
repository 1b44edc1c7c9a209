#include "cli/run_summary.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "cli/console.h"
#include "services/language.h"

namespace velmora::cli {
namespace {

// 20000 as "20.000" (German) or "20,000" (English).
std::string Grouped(int number) {
  const std::string digits = std::to_string(number);
  const char* separator = CurrentLanguage() == Language::kEnglish ? "," : ".";
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

}  // namespace

ProgressLine::ProgressLine()
    : terminal_(::isatty(STDERR_FILENO) == 1), start_(std::chrono::steady_clock::now()) {}

void ProgressLine::SetValue(int value) {
  using namespace std::chrono_literals;
  if (!terminal_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < 1s || (shown_ && now - lastShown_ < 100ms)) return;
  lastShown_ = now;
  shown_ = true;
  // The cursor stays at the line's start: a message or step line that
  // follows writes over it.
  const std::string text =
      WithArgs(Tr("velmora", "%1 von %2"), {Grouped(value), Grouped(maximum_)});
  std::fprintf(stderr, "\033[Kvelmora-cli: %s\r", text.c_str());
  std::fflush(stderr);
}

void ProgressLine::Clear() {
  if (!shown_) return;
  std::fputs("\033[K", stderr);
  shown_ = false;
}

RunTally::RunTally(CommitObserver& committed, RunDialogs& dialogs, std::size_t count)
    : committed_(committed), dialogs_(dialogs), count_(count) {
  progress_.SetMaximum(static_cast<int>(count));
}

namespace {

constexpr char kSource = 'S';
constexpr char kDestination = 'D';
// Past this many bytes of notes they are counted at once.
constexpr std::size_t kMaxNoted = std::size_t{32} << 20;

// A name's hash for the filter, eight bytes at a time.
std::uint64_t NameHash(std::string_view name) {
  std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ name.size();
  const auto mix = [&hash](std::uint64_t word) {
    hash = (hash ^ word) * 0xff51afd7ed558ccdull;
    hash ^= hash >> 32;
  };
  std::size_t at = 0;
  for (; at + 8 <= name.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, name.data() + at, 8);
    mix(word);
  }
  // The rest in one load where the name is long enough: the eight bytes
  // that end it, some hashed already.
  std::uint64_t tail = 0;
  if (at < name.size() && name.size() >= 8) {
    std::memcpy(&tail, name.data() + name.size() - 8, 8);
  } else {
    for (std::size_t i = 0; at + i < name.size(); ++i) {
      tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(name[at + i])) << (8 * i);
    }
  }
  mix(tail);
  hash *= 0xc4ceb9fe1a85ec53ull;
  return hash ^ (hash >> 29);
}

// Sixteen bits a file: about one source in sixty is noted for nothing.
constexpr std::size_t kFilterBitsPerFile = 16;

}  // namespace

namespace {

// A name's two bits in the filter lie in one word: one look at the memory
// a step, which the kernel's rename has mostly pushed out of the cache.
std::uint64_t FilterBits(std::uint64_t hash) {
  return std::uint64_t{1} << (hash & 63) | std::uint64_t{1} << (hash >> 6 & 63);
}

std::size_t FilterWord(std::uint64_t hash, std::size_t words) {
  return static_cast<std::size_t>(hash >> 32) & (words - 1);
}

}  // namespace

bool RunTally::MayHaveMade(std::uint64_t hash) const {
  const std::uint64_t bits = FilterBits(hash);
  return (made_[FilterWord(hash, made_.size())] & bits) == bits;
}

void RunTally::Committed(const std::string& source, const std::string& destination) {
  committed_.Committed(source, destination);
  if (notes_.bytes() > kMaxNoted) CatchUp();
  if (made_.empty()) {
    std::size_t bits = 1024;
    while (bits < count_ * kFilterBitsPerFile) bits *= 2;
    made_.assign(bits / 64, 0);
  }
  // A source no step made is the file's first step.
  if (MayHaveMade(NameHash(source))) {
    notes_.Add(kSource, source);
    sourceNoted_ = true;
  } else {
    ++done_;
  }
  notes_.Add(kDestination, destination);
  const std::uint64_t hash = NameHash(destination);
  made_[FilterWord(hash, made_.size())] |= FilterBits(hash);
}

void RunTally::CatchUp(bool final) {
  if (notes_.empty()) return;
  // A file's later steps start where an earlier one left it.
  if (final && !caughtUp_) {
    // Only the names of noted sources can meet a destination.
    if (sourceNoted_) {
      NameTable<char> asked;
      notes_.ForEach([&asked](char what, std::string_view name) {
        if (what == kSource) asked.Insert(name);
      });
      notes_.ForEach([this, &asked](char what, std::string_view name) {
        if (what == kDestination) {
          if (asked.Find(name) != nullptr) reached_.Insert(name);
        } else if (!reached_.Erase(name)) {
          ++done_;
        }
      });
    }
  } else {
    caughtUp_ = true;
    reached_.Reserve(count_);
    notes_.ForEach([this](char what, std::string_view name) {
      if (what == kDestination) {
        reached_.Insert(name);
      } else if (!reached_.Erase(name)) {
        ++done_;
      }
    });
  }
  notes_.Clear();
  sourceNoted_ = false;
}

Answer RunTally::AskDialog(const std::string& source, const std::string& target, RunKind kind) {
  const Answer answer = dialogs_.AskDialog(source, target, kind);
  if (answer == Answer::kNo) ++declined_;
  return answer;
}

void RunTally::PrintSummary(RunKind kind, const Reporting& reporting) {
  progress_.Clear();
  CatchUp(/*final=*/true);
  const SummaryKind summary = kind == RunKind::kCopy   ? SummaryKind::kCopied
                              : kind == RunKind::kMove ? SummaryKind::kMoved
                                                       : SummaryKind::kRenamed;
  PrintRunSummary(summary, done_, reporting.Failures(), declined_ + reporting.Notes());
}

void PrintRunSummary(SummaryKind kind, int done, int failures, int skipped) {
  if (done == 0 && failures == 0 && skipped == 0) return;  // a run that had nothing to do
  static constexpr const char* kTexts[] = {
      VELMORA_TEXT("velmora", "%1 umbenannt, %2 Fehler, %3 ausgelassen"),
      VELMORA_TEXT("velmora", "%1 kopiert, %2 Fehler, %3 ausgelassen"),
      VELMORA_TEXT("velmora", "%1 verschoben, %2 Fehler, %3 ausgelassen"),
      VELMORA_TEXT("velmora", "%1 geschrieben, %2 Fehler, %3 ausgelassen"),
      VELMORA_TEXT("velmora", "%1 zurückgenommen, %2 Fehler, %3 ausgelassen"),
  };
  PrintProblem(WithArgs(Tr("velmora", kTexts[static_cast<int>(kind)]),
                        {std::to_string(done), std::to_string(failures), std::to_string(skipped)}));
}

}  // namespace velmora::cli
