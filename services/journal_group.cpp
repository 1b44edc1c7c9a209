// JournalWriter: group commit, the intents of foreseen steps written in one
// write ahead of their steps.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/journal_format.h"

namespace velmora {
namespace {

// At most this many intents, or about this many bytes, in one write ahead:
// a crash leaves no more steps than that to settle from the disk.
constexpr std::size_t kMaxAhead = 256;
constexpr std::size_t kMaxAheadBytes = 64 << 10;
// How far past the next foreseen step the run's step is looked for: steps
// answered "&Nein", failed or refused are passed over.
constexpr std::size_t kLookFor = 16;

// The run usually hands in the plan's own strings.
bool Matches(const ForeseenStep& step, FileOp op, const std::string& source,
             const std::string& target) {
  return step.op == op && (step.target == &target || *step.target == target) &&
         (step.source == &source || *step.source == source);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Bit 5 set in each byte: A-Z become a-z as Lower makes them, and the few
// other bytes that change meet only in the hash, never in Equal.
constexpr std::uint64_t kFold = 0x2020202020202020ull;

// The paths of one group, compared as a file system that ignores case
// would: open addressing in a room twice the most it holds, each path's
// hash worked out once, no copies. The room is kept per thread and only the
// slots a group took are cleared after it: a fresh 64 KiB table for every
// group cost more than the group's lookups.
class GroupPaths {
 public:
  explicit GroupPaths(std::size_t most) : room_(Room()), taken_(Taken()) {
    std::size_t size = 16;
    while (size < 2 * most) size *= 2;
    if (room_.size() != size) room_.assign(size, Slot{});
    taken_.clear();
  }
  ~GroupPaths() {
    for (const std::size_t i : taken_) room_[i] = Slot{};
  }
  GroupPaths(const GroupPaths&) = delete;
  GroupPaths& operator=(const GroupPaths&) = delete;

  // Eight bytes at a time, folded as A-Z are by Lower, then mixed so that
  // the low bits the table uses depend on all; the last eight bytes overlap
  // those before.
  static std::size_t Hash(std::string_view path) {
    std::uint64_t hash = 14695981039346656037ull ^ path.size();
    const char* at = path.data();
    std::size_t left = path.size();
    const auto mix = [&hash](std::uint64_t word) {
      hash = (hash ^ (word | kFold)) * 0x100000001b3ull;
      hash ^= hash >> 29;
    };
    for (; left >= 8; at += 8, left -= 8) {
      std::uint64_t word;
      std::memcpy(&word, at, 8);
      mix(word);
    }
    if (left > 0 && path.size() >= 8) {
      std::uint64_t word;
      std::memcpy(&word, path.data() + path.size() - 8, 8);
      mix(word);
    } else if (left > 0) {
      std::uint64_t word = 0;
      for (std::size_t i = 0; i < left; ++i) {
        word |= static_cast<std::uint64_t>(static_cast<unsigned char>(at[i])) << (8 * i);
      }
      mix(word);
    }
    hash ^= hash >> 32;
    hash *= 0x9e3779b97f4a7c15ull;
    return static_cast<std::size_t>(hash ^ (hash >> 29));
  }

  [[nodiscard]] bool Has(std::string_view path, std::size_t hash) const {
    const std::size_t mask = room_.size() - 1;
    for (std::size_t i = hash & mask; room_[i].used; i = (i + 1) & mask) {
      if (room_[i].hash == hash && Equal(room_[i].path, path)) return true;
    }
    return false;
  }

  // path must not be there yet.
  void Add(std::string_view path, std::size_t hash) {
    const std::size_t mask = room_.size() - 1;
    std::size_t i = hash & mask;
    while (room_[i].used) i = (i + 1) & mask;
    room_[i] = {path, hash, true};
    taken_.push_back(i);
  }

 private:
  struct Slot {
    std::string_view path;
    std::size_t hash = 0;
    bool used = false;
  };

  static std::vector<Slot>& Room() {
    thread_local std::vector<Slot> room;
    return room;
  }
  static std::vector<std::size_t>& Taken() {
    thread_local std::vector<std::size_t> taken;
    return taken;
  }

  static bool Equal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
  }

  std::vector<Slot>& room_;
  std::vector<std::size_t>& taken_;
};

}  // namespace

void JournalWriter::Foresee(std::vector<ForeseenStep> steps) {
  // The steps written ahead never began; their records ride with the next
  // write.
  waiting_ += AbandonAhead();
  foreseen_ = std::move(steps);
  next_ = 0;
}

bool JournalWriter::LookedAhead(FileOp op, const std::string& source, const std::string& target,
                                FileIdentity& known) {
  lookedSource_ = lookedTarget_ = nullptr;
  if (aheadStart_ == ahead_.size()) return false;
  const Ahead& ahead = ahead_[aheadStart_];
  if (!Matches(foreseen_[ahead.index], op, source, target)) return false;
  known = {ahead.id.device, ahead.id.inode, ahead.id.size, ahead.id.mtimeNs};
  lookedSource_ = &source;
  lookedTarget_ = &target;
  lookedOp_ = op;
  lookedSeq_ = ahead.seq;
  return true;
}

bool JournalWriter::TakeWrittenAhead(FileOp op, const std::string& source,
                                     const std::string& target, const FileIdentity* known) {
  const std::string* const lookedSource = std::exchange(lookedSource_, nullptr);
  const std::string* const lookedTarget = std::exchange(lookedTarget_, nullptr);
  if (aheadStart_ == ahead_.size()) return false;
  const Ahead& ahead = ahead_[aheadStart_];
  // Matched by LookedAhead just before, the same strings in hand.
  const bool looked = lookedSource == &source && lookedTarget == &target && lookedOp_ == op &&
                      lookedSeq_ == ahead.seq;
  if (!looked && !Matches(foreseen_[ahead.index], op, source, target)) return false;
  // A file changed since its intent was written is announced anew.
  if (known != nullptr && (known->size != ahead.id.size || known->modified != ahead.id.mtimeNs ||
                           known->device != ahead.id.device || known->inode != ahead.id.inode)) {
    return false;
  }
  current_ = ahead.seq;
  currentPlain_ = ahead.plain;
  announced_ = ahead.id;
  announcedText_ = ahead.idText;
  ownSteps_.push_back(current_);
  if (++aheadStart_ == ahead_.size()) {
    ahead_.clear();
    aheadStart_ = 0;
  }
  return true;
}

std::string JournalWriter::AbandonAhead() {
  std::string records;
  if (aheadStart_ < ahead_.size()) next_ = ahead_[aheadStart_].index;
  for (std::size_t i = aheadStart_; i < ahead_.size(); ++i) {
    records += FrameRecord("A\t" + run_ + '\t' + std::to_string(ahead_[i].seq));
  }
  ahead_.clear();
  aheadStart_ = 0;
  return records;
}

void JournalWriter::WriteAhead(FileOp op, const std::string& source, const std::string& target,
                               RecordBuffer& records, std::size_t start,
                               std::vector<std::string>& newFolders) {
  if (!deferDone_ || foreseen_.empty() || !announced_.known || !announced_.inodeStable ||
      IsRenameTemporary(source) || IsRenameTemporary(target)) {
    return;
  }
  const std::size_t end = std::min(foreseen_.size(), next_ + kLookFor);
  std::size_t at = next_;
  while (at < end && !Matches(foreseen_[at], op, source, target)) ++at;
  if (at == end) return;
  next_ = at + 1;
  // Settling judges each unsettled step alone: their paths must not meet.
  GroupPaths paths(2 * kMaxAhead + 2);
  const std::size_t sourceHash = GroupPaths::Hash(source);
  const std::size_t targetHash = GroupPaths::Hash(target);
  paths.Add(source, sourceHash);
  if (!paths.Has(target, targetHash)) paths.Add(target, targetHash);
  for (std::size_t i = next_;
       i < foreseen_.size() && ahead_.size() < kMaxAhead && records.size() - start < kMaxAheadBytes;
       ++i) {
    const std::string& from = *foreseen_[i].source;
    const std::string& to = *foreseen_[i].target;
    if (IsRenameTemporary(from) || IsRenameTemporary(to)) break;
    const std::size_t fromHash = GroupPaths::Hash(from);
    const std::size_t toHash = GroupPaths::Hash(to);
    if (paths.Has(from, fromHash) || paths.Has(to, toHash)) break;
    const StepIdentity id = LookUpFile(from);
    if (!id.known || !id.inodeStable) break;
    bool targetStable = false;
    FolderRecords(records, from, to, &targetStable, &newFolders);
    if (!targetStable) break;  // a move onto a file system without stable inode numbers
    Ahead& ahead = ahead_.emplace_back(++seq_, i, id, /*plain=*/true);
    FormatIdentityFields(ahead.idText, id);
    AppendIntent(records, seq_, foreseen_[i].op, from, to, ahead.idText, {});
    paths.Add(from, fromHash);
    if (!paths.Has(to, toHash)) paths.Add(to, toHash);
    next_ = i + 1;
  }
}

}  // namespace velmora
