// The tag run in batches: the files of a batch are read and planned first,
// each kept open, so that the journal can take their intents in one write;
// then each is written as the run would one at a time.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

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
  std::array<PlannedTagFile, kTagBatchFiles> files;
  std::size_t count = 0;
  std::array<std::pair<std::size_t, std::uint64_t>, kTagBatchFiles> names;  // of files
  std::vector<AnnouncedStep> steps;

  // Closes the files still open.
  void Close() {
    for (std::size_t k = 0; k < count; ++k) files[k].file.reset();
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
  // share a file. A batch is small: a look along it beats a node per file.
  std::array<std::pair<std::uint64_t, std::uint64_t>, kTagBatchFiles> files;
  std::size_t fileCount = 0;
  std::size_t i = from;
  for (; i < list.size() && batch.count < kTagBatchFiles; ++i) {
    if (!list[i].marked) continue;
    const std::string& path = list[i].path;
    current = path;
    const std::pair<std::size_t, std::uint64_t> name = NameKey(path);
    bool named = false;
    for (std::size_t k = 0; k < batch.count && !named; ++k) {
      named = batch.names[k] == name && list[batch.files[k].index].path == path;
    }
    if (named) break;
    PlannedTagFile& entry = batch.files[batch.count];
    TagFile& file = entry.file.emplace(disk_, path, true);
    if (const FileIdentity* id = file.Identity()) {
      const std::pair<std::uint64_t, std::uint64_t> key{id->device, id->inode};
      if (std::find(files.begin(), files.begin() + fileCount, key) != files.begin() + fileCount) {
        entry.file.reset();
        break;
      }
      files[fileCount++] = key;
    }
    batch.names[batch.count++] = name;
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

bool TagEditor::WriteBatch(const TagList& list, std::size_t from, std::size_t end,
                           TagBatch& batch, std::string& current) {
  if (journal_ != nullptr) {
    std::vector<AnnouncedStep>& steps = batch.steps;
    steps.clear();
    for (std::size_t k = 0; k < batch.count; ++k) {
      const PlannedTagFile& entry = batch.files[k];
      if (!entry.write) continue;
      const std::string& path = list[entry.index].path;
      steps.push_back({FileOp::kTag, &path, &path, entry.file->stamp().identity, entry.payload});
    }
    journal_->Announce(steps);
  }
  PlannedTagFile* entry = batch.files.data();
  for (std::size_t i = from; i < end; ++i) {
    current = list[i].path;
    host_.SetProgress(static_cast<int>(i + 1));
    if (!list[i].marked) continue;
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
    ++entry;
  }
  return true;
}

}  // namespace velmora
