// The tag run in batches: the files of a batch are read and planned first,
// each kept open, so that the journal can take their intents in one write;
// then each is written as the run would one at a time.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "tags/tag_editor.h"
#include "tags/tag_file.h"
#include "tags/tag_undo.h"

namespace velmora {
namespace {

// Files open at once; a crash leaves at most this many intents to settle.
constexpr std::size_t kTagBatchFiles = 64;

// A name's length and last eight bytes: names of one folder differ there,
// so most comparisons end at these two numbers.
std::pair<std::size_t, std::uint64_t> NameKey(const std::string& path) {
  std::uint64_t tail = 0;
  const std::size_t n = std::min<std::size_t>(path.size(), sizeof tail);
  std::memcpy(&tail, path.data() + path.size() - n, n);
  return {path.size(), tail};
}

// The keys of a batch's files, each with its place in the batch: a table
// twice the batch's size, so that a look takes one or two slots, not a walk
// along the batch.
class BatchKeys {
 public:
  using Key = std::pair<std::uint64_t, std::uint64_t>;

  void Clear() { used_.fill(false); }
  // Calls same(place) for each key equal to key until it returns true.
  template <typename Same>
  [[nodiscard]] bool Find(const Key& key, const Same& same) const {
    for (std::size_t slot = Slot(key); used_[slot]; slot = (slot + 1) % kSlots) {
      if (keys_[slot] == key && same(places_[slot])) return true;
    }
    return false;
  }
  void Add(const Key& key, std::size_t place) {
    std::size_t slot = Slot(key);
    while (used_[slot]) slot = (slot + 1) % kSlots;
    used_[slot] = true;
    keys_[slot] = key;
    places_[slot] = place;
  }

 private:
  static constexpr std::size_t kSlots = 2 * kTagBatchFiles;
  static std::size_t Slot(const Key& key) {
    const std::uint64_t mixed = (key.first * 0x9E3779B97F4A7C15ULL) ^ key.second;
    return static_cast<std::size_t>((mixed * 0xBF58476D1CE4E5B9ULL) >> 57) % kSlots;
  }
  std::array<bool, kSlots> used_{};
  std::array<Key, kSlots> keys_;
  std::array<std::size_t, kSlots> places_;
};

// The fields the run fills per file, in Id3v2Field order; the rest stay as
// the run began.
using TextMember = std::string TagEditorFields::*;
constexpr TextMember kFilled[kId3Fields] = {
    &TagEditorFields::TxtTitel, &TagEditorFields::TxtInterpret,
    &TagEditorFields::TxtAlbum, &TagEditorFields::TxtKommentar,
    &TagEditorFields::TxtJahr,  &TagEditorFields::ComboGenreTyp};

}  // namespace

// One marked file of a batch: what the editor showed for it and what it
// writes.
struct PlannedTagFile {
  std::size_t index = 0;  // in the list
  std::optional<TagFile> file;
  bool shown = false;  // the fields were filled for it without a failure
  bool write = false;  // planned, with something to write
  TagEdits edits;
  std::string payload;
  std::array<std::string, kId3Fields> values;  // the filled fields
  TagRecord record;
  std::optional<Id3v2Values> id3v2;
  std::optional<AudioTagValues> audio;
};

// The files of one batch. Kept from batch to batch, so that the strings of
// its entries keep their room: a file of a run then takes no allocation of
// its own.
struct TagBatch {
  // Made as the first batch needs them, each once: no page of the batch is
  // touched before a file uses it.
  std::vector<std::unique_ptr<PlannedTagFile>> entries;
  std::size_t count = 0;
  BatchKeys names;  // NameKey of each file's path
  BatchKeys files;  // device and inode of each file that was looked at
  std::vector<AnnouncedStep> steps;

  // Closes the files still open.
  void Close() {
    for (std::size_t k = 0; k < count; ++k) entries[k]->file.reset();
    count = 0;
  }
};

// Here, where the batch is a whole type.
TagEditor::TagEditor(FileSystem& disk, ErrorReporter& reporter, LogWriter& log, TagEditorHost& host)
    : disk_(disk), reporter_(reporter), log_(log), host_(host) {}

TagEditor::~TagEditor() = default;

bool TagEditor::WriteNextBatch(const TagList& list, std::size_t& from, std::string& current) {
  if (!batch_) batch_ = std::make_unique<TagBatch>();
  TagBatch& batch = *batch_;
  // However the batch ends, no file of it stays open.
  struct Closer {
    TagBatch& batch;
    ~Closer() { batch.Close(); }
  } closer{batch};
  batch.count = 0;
  const std::size_t end = PlanBatch(list, from, batch, current);
  if (!WriteBatch(list, from, end, batch, current)) return false;
  from = end;
  return true;
}

std::size_t TagEditor::PlanBatch(const TagList& list, std::size_t from, TagBatch& batch,
                                 std::string& current) {
  // A file named twice waits for its first write: no two steps of a batch
  // share a file.
  batch.names.Clear();
  batch.files.Clear();
  std::size_t i = from;
  for (; i < list.size() && batch.count < kTagBatchFiles; ++i) {
    if (!list[i].marked) continue;
    const std::string& path = list[i].path;
    current = path;
    const std::pair<std::size_t, std::uint64_t> name = NameKey(path);
    if (batch.names.Find(
            name, [&](std::size_t k) { return list[batch.entries[k]->index].path == path; })) {
      break;
    }
    if (batch.entries.size() == batch.count) {
      batch.entries.push_back(std::make_unique<PlannedTagFile>());
    }
    PlannedTagFile& entry = *batch.entries[batch.count];
    TagFile& file = entry.file.emplace(disk_, path, true);
    if (const FileIdentity* id = file.Identity()) {
      const BatchKeys::Key key{id->device, id->inode};
      if (batch.files.Find(key, [](std::size_t) { return true; })) {
        entry.file.reset();
        break;
      }
      batch.files.Add(key, batch.count);
    }
    batch.names.Add(name, batch.count++);
    entry.index = i;
    holdShown_ = true;
    shownHeld_ = false;
    FillFromFile(path, file);
    holdShown_ = false;
    bool failed = false;
    entry.write = PlanOne(path, file, entry.edits, &failed);
    entry.shown = shownHeld_ && !failed;
    if (entry.write) PackTagEditsInto(entry.edits, entry.payload);
    for (int k = 0; k < kId3Fields; ++k) entry.values[k] = fields_.*kFilled[k];
    entry.record = shownRecord_;
    entry.id3v2 = shownId3v2_;
    entry.audio = shownAudio_;
  }
  return i;
}

bool TagEditor::WriteBatch(const TagList& list, std::size_t from, std::size_t end, TagBatch& batch,
                           std::string& current) {
  if (journal_ != nullptr) {
    std::vector<AnnouncedStep>& steps = batch.steps;
    steps.clear();
    for (std::size_t k = 0; k < batch.count; ++k) {
      const PlannedTagFile& entry = *batch.entries[k];
      if (!entry.write) continue;
      const std::string& path = list[entry.index].path;
      steps.push_back({FileOp::kTag, &path, &path, entry.file->stamp().identity, entry.payload});
    }
    journal_->Announce(steps);
  }
  auto next = batch.entries.begin();
  for (std::size_t i = from; i < end; ++i) {
    current = list[i].path;
    host_.SetProgress(static_cast<int>(i + 1));
    if (!list[i].marked) continue;
    PlannedTagFile* entry = next->get();
    // The editor as it stood after filling for this file.
    for (int k = 0; k < kId3Fields; ++k) std::swap(fields_.*kFilled[k], entry->values[k]);
    shownPath_ = current;
    shownRecord_ = entry->record;
    shownId3v2_ = std::move(entry->id3v2);
    shownAudio_ = std::move(entry->audio);
    if (entry->shown) host_.ShowTagValues();
    if (entry->write && !WritePlanned(current, *entry->file, entry->edits, entry->payload)) {
      return false;
    }
    entry->file.reset();
    ++next;
  }
  return true;
}

}  // namespace velmora
