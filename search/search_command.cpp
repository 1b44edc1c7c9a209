#include "search/search_command.h"

#include <future>
#include <utility>

namespace velmora {

SearchCommand::SearchCommand(FileSystem& disk, SettingsWriter& settings, SearchHost& host,
                             MessageSink& messages, ErrorReporter& reporter)
    : disk_(disk), settings_(settings), host_(host), messages_(messages), reporter_(reporter) {}

SearchResult SearchCommand::cmdSearch_Click(const SearchInputs& inputs) {
  SearchResult result;
  // Pending events run during a search, Enter included; a nested search
  // would list the same files twice, so a second press does nothing.
  if (searching_) {
    result.step = SearchStep::kBusy;
    result.folder = cursor_;
    return result;
  }
  abandoned_.clear();  // waits for reads left running
  abandonedFolder_.clear();
  settings_.WriteSetting(kKeyLastPattern, inputs.pattern);
  settings_.WriteSetting(kKeyLastPath, inputs.currentFolder);
  settings_.WriteSetting(kKeyLastDrive, inputs.drive);

  if (state_.searchCaption == kCaptionReset) {
    ResetSearch();
    state_.optSubdirs = false;
    result.step = SearchStep::kReset;
    result.folder = inputs.currentFolder;
    return result;
  }
  if (!inputs.highlightedFolder.empty() && inputs.highlightedFolder != inputs.currentFolder) {
    result.step = SearchStep::kOpenHighlighted;
    result.folder = inputs.highlightedFolder;
    return result;
  }

  searching_ = true;
  SetCaptions(state_.searchCaption, kCaptionCancel);
  pattern_ = FilePattern(inputs.pattern);
  cursor_ = inputs.currentFolder;
  searched_ = inputs.currentFolder;
  listFull_ = false;
  SearchFolder(inputs.currentFolder, "");
  ReadFileFacts();
  searching_ = false;

  result.step = SearchStep::kSearched;
  result.folder = cursor_;
  result.progressMaximum = found_.Empty() ? 1 : found_.Count();
  SetCaptions(kCaptionReset, kCaptionExit);
  return result;
}

SearchResult SearchCommand::RepeatSearch(const SearchInputs& inputs) {
  cmdSearch_Click(inputs);
  return cmdSearch_Click(inputs);
}

const SearchState& SearchCommand::State() const {
  if (countStale_) {
    CountLabelTextInto(countShown_, state_.countText);
    countStale_ = false;
  }
  return state_;
}

void SearchCommand::ResetSearch() {
  host_.ResetRunFlags();
  state_.keepSearching = false;
  found_.Clear();
  state_.countText = CountLabelText(0);
  countStale_ = false;
  host_.CountChanged();
  SetCaptions(kCaptionSearch, kCaptionExit);
}

void SearchCommand::SetOrder(const ListOrder& order) {
  found_.SetOrder(order);
  ReadFileFacts();
}

void SearchCommand::ReadFileFacts() {
  if (!NeedsFileFacts(found_.Order())) return;
  found_.ReadFacts([this](const std::string& path, std::int64_t& size, std::int64_t& modified) {
    FileIdentity identity;
    if (!disk_.Identify(path, identity)) return false;
    size = identity.size;
    modified = identity.modified;
    return true;
  });
}

// Takes copies: the cursor moves while a visit runs, and a caller passes it.
bool SearchCommand::SearchFolder(std::string folder, std::string backFolder) {
  state_.keepSearching = true;
  host_.ProcessPendingEvents();
  lastYield_ = std::chrono::steady_clock::now();
  if (!state_.keepSearching) return true;

  FolderRead read = ReadFolder(cursor_);
  // "Abbrechen" while a large folder was read: this visit saw the flag.
  if (!state_.keepSearching) return true;
  const FolderListing& listing = read.listing;

  // Sub-folders from the last to the first, each completely before the
  // next; this folder's own files come after everything below it.
  std::size_t k = state_.optSubdirs ? listing.subFolders.size() : 0;
  while (k > 0 && state_.keepSearching) {
    std::string oldFolder = cursor_;
    cursor_ = FoundEntryPath(folder, listing.subFolders[k - 1]);
    bool abandon = SearchFolder(cursor_, oldFolder);
    --k;
    if (abandon) return false;  // cursor stays where the inner visit left it
  }

  // After a cancel the cursor may stand on another folder: its files are
  // the ones listed here, as the file list follows the cursor.
  if (cursor_ != folder) read = ReadFolder(cursor_);
  if (ListFiles(read, cursor_)) return true;
  if (!backFolder.empty()) cursor_ = backFolder;
  return false;
}

// Reads folder and picks its matching files on a thread of its own while the
// window goes on handling events: a folder of 100,000 files takes longer to
// read and sort than the window may stand still. "Abbrechen" meanwhile leaves
// the read behind, unlisted, so the search ends at once. An unreadable
// folder is reported and left out; the search goes on.
SearchCommand::FolderRead SearchCommand::ReadFolder(const std::string& folder) {
  FolderRead read;
  if (folder == abandonedFolder_) return read;  // not read twice after a cancel
  if (host_.Responsive()) {
    std::future<FolderRead> work =
        std::async(std::launch::async, [&disk = disk_, folder, pattern = pattern_] {
          return ReadAndMatch(disk, folder, pattern);
        });
    while (work.wait_for(std::chrono::milliseconds(kResponsiveMs)) != std::future_status::ready) {
      KeepResponsive();
      if (!state_.keepSearching) {
        abandoned_.push_back(std::move(work));
        abandonedFolder_ = folder;
        return read;
      }
    }
    read = work.get();
  } else {
    read = ReadAndMatch(disk_, folder, pattern_);
  }
  if (read.listing.error) {
    reporter_.ReportError(Location::kNone, read.listing.error.number, kSearchErrorContext, folder,
                          read.listing.error.description);
  }
  return read;
}

SearchCommand::FolderRead SearchCommand::ReadAndMatch(FileSystem& disk, const std::string& folder,
                                                      const FilePattern& pattern) {
  FolderRead read;
  read.listing = disk.ReadFolder(folder);
  read.matches = MatchingPositions(read.listing.files, pattern);
  return read;
}

void SearchCommand::KeepResponsive() {
  host_.KeepResponsive();
  lastYield_ = std::chrono::steady_clock::now();
}

// Adds the matching files of folder; true when the list became full, after
// the message was shown once. Once full, later calls add nothing. A cancel
// while a long folder is listed keeps what was listed so far.
bool SearchCommand::ListFiles(const FolderRead& read, const std::string& folder) {
  if (listFull_) return false;
  constexpr std::size_t kClockEvery = 256;  // files between looks at the clock
  std::size_t sinceClock = 0;
  found_.Reserve(static_cast<std::size_t>(found_.Count()) + read.matches.size());
  const std::string prefix = FoundEntryPrefix(folder);
  // The names come in list order; after events ran, the list may have been
  // looked at (and sorted) meanwhile, so the next name is added in full.
  bool afterLast = false;
  for (const std::uint32_t at : read.matches) {
    if (++sinceClock == kClockEvery) {
      sinceClock = 0;
      if (std::chrono::steady_clock::now() - lastYield_ >=
          std::chrono::milliseconds(kResponsiveMs)) {
        KeepResponsive();
        afterLast = false;
        if (!state_.keepSearching) return false;
      }
    }
    const std::string_view name = read.listing.files[at];
    if (!(afterLast ? found_.AddAfterLast(prefix, name) : found_.Add(prefix + std::string(name)))) {
      listFull_ = true;
      // Stop every level above, as a cancel would; the message shows once.
      state_.keepSearching = false;
      host_.ShowCountNow();
      messages_.ShowMessage(kListFullMessage);
      return true;
    }
    afterLast = true;
    countShown_ = found_.Count();
    countStale_ = true;
    host_.CountChanged();
  }
  return false;
}

void SearchCommand::SetCaptions(std::string search, std::string exit) {
  state_.searchCaption = std::move(search);
  state_.exitCaption = std::move(exit);
  host_.CaptionsChanged();
}

}  // namespace velmora
