// The search button and the depth-first search behind it. The window feeds
// in what its controls hold, lets pending events run when asked (so that
// "Abbrechen" can call Cancel) and shows the state and result; everything
// else happens here so that it can be tested without a screen.
#pragma once

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/user_text.h"
#include "search/file_pattern.h"
#include "search/folder_reader.h"
#include "search/found_list.h"
#include "search/settings_writer.h"

namespace velmora {

inline constexpr char kCaptionSearch[] = VELMORA_TEXT("velmora", "&Suche");
inline constexpr char kCaptionReset[] = VELMORA_TEXT("velmora", "&Reset");
inline constexpr char kCaptionExit[] = VELMORA_TEXT("velmora", "E&nde");
inline constexpr char kCaptionCancel[] = VELMORA_TEXT("velmora", "Abbrechen");
inline constexpr char kListFullMessage[] =
    VELMORA_TEXT("velmora", "Wenn die Listen-Box gefüllt wurde. Suche beendet...");

// The longest the search goes without letting the window handle its events.
inline constexpr int kResponsiveMs = 20;

// How a folder that cannot be opened is reported: no location line, this
// context, the folder as the file, the platform's text as the description.
inline constexpr char kSearchErrorContext[] = VELMORA_TEXT("velmora", "Fehler beim Suchen");

// The main window's side of a search.
class SearchHost {
 public:
  virtual ~SearchHost() = default;

  // Lets pending user events run once; called at every folder visit.
  virtual void ProcessPendingEvents() = 0;

  // The same, between folder visits: while a large folder is read and while
  // its files are listed, at least every kResponsiveMs.
  virtual void KeepResponsive() {}

  // False for a host with no user waiting on it (the command line): folders
  // are then read on the calling thread, without a thread per folder.
  [[nodiscard]] virtual bool Responsive() const { return true; }

  // First step of ResetSearch: the run's ResetRunFlags (mode and dialog
  // flags, progress bar minimum). keepSearching is cleared by the command.
  virtual void ResetRunFlags() {}

  // The captions in State() changed ("Abbrechen" is shown during a search).
  virtual void CaptionsChanged() {}

  // The count label text in State() changed.
  virtual void CountChanged() {}

  // The count label is to show State() now: a message is about to cover
  // the window.
  virtual void ShowCountNow() {}
};

// What the controls hold when the button is pressed.
struct SearchInputs {
  std::string drive;              // drive list
  std::string currentFolder;      // folder list's current folder
  std::string highlightedFolder;  // folder list's highlighted entry; "" = the current one
  std::string pattern;            // txtSearchSpec
};

// The state the window shows.
struct SearchState {
  bool keepSearching = false;
  bool optSubdirs = false;  // "UnterVerz"
  std::string searchCaption = kCaptionSearch;
  std::string exitCaption = kCaptionExit;
  std::string countText = "0";  // lblCount
};

enum class SearchStep {
  kReset,            // list emptied, sub-folders off; progress value 0, file
                     // list re-read, focus to the pattern field
  kOpenHighlighted,  // the highlighted folder is to become current; nothing searched
  kSearched,         // list filled; focus to the search button
  kBusy,             // pressed again while a search runs: nothing done
};

struct SearchResult {
  SearchStep step = SearchStep::kReset;
  // The folder list's current folder afterwards (the file list follows it):
  // unchanged after a reset, the highlighted folder, or where the search's
  // cursor ended (not the start folder after a cancel or a full list).
  std::string folder;
  // kSearched: the progress bar's maximum (entries, or 1 for none); value 0.
  int progressMaximum = 1;
};

class SearchCommand {
 public:
  // All references must outlive the command.
  SearchCommand(FileSystem& disk, SettingsWriter& settings, SearchHost& host, MessageSink& messages,
                ErrorReporter& reporter);

  // The search button (or Enter): stores pattern, folder and drive, in this
  // order, then resets, opens the highlighted folder, or searches.
  SearchResult cmdSearch_Click(const SearchInputs& inputs);

  // Presses the button twice: after a search this resets and searches the
  // current folder again, without sub-folders. Returns the second result.
  SearchResult RepeatSearch(const SearchInputs& inputs);

  // Empties the list and returns to the ready state.
  void ResetSearch();

  // "Abbrechen" (and the run's ResetRunFlags): keepSearching := false, so a
  // running search stops at its next folder.
  void Cancel() { state_.keepSearching = false; }

  // "UnterVerz" clicked: on, and it stays on until the next reset.
  void OptSubdirs_Click() { state_.optSubdirs = true; }
  // The switch set either way, as a loaded job asks.
  void SetSubdirs(bool on) { state_.optSubdirs = on; }

  // Visits folder (and, with sub-folders on, everything below it) with the
  // pattern of the running search; true when the caller is to stop at once.
  // Public for the window's tests; cmdSearch_Click is the usual way in.
  bool SearchFolder(std::string folder, std::string backFolder);

  // The order of the found list (and so of the preview and the runs); the
  // orders by size and date read each listed file's facts once.
  void SetOrder(const ListOrder& order);

  // The folder the last search started in: a run pins it.
  [[nodiscard]] const std::string& SearchedFolder() const { return searched_; }

  [[nodiscard]] const SearchState& State() const;
  [[nodiscard]] const FoundList& Found() const { return found_; }
  FoundList& Found() { return found_; }

 private:
  struct FolderRead {
    FolderListing listing;
    std::vector<std::uint32_t> matches;  // MatchingPositions in listing.files
  };
  static FolderRead ReadAndMatch(FileSystem& disk, const std::string& folder,
                                 const FilePattern& pattern);
  void SetCaptions(std::string search, std::string exit);
  FolderRead ReadFolder(const std::string& folder);
  bool ListFiles(const FolderRead& read, const std::string& folder);
  void KeepResponsive();
  void ReadFileFacts();

  FileSystem& disk_;
  SettingsWriter& settings_;
  SearchHost& host_;
  MessageSink& messages_;
  ErrorReporter& reporter_;
  // The count label's text is made when it is asked for: the number of
  // entries it is to show, and whether the text still has to follow it.
  mutable SearchState state_;
  int countShown_ = 0;
  mutable bool countStale_ = false;
  FoundList found_;
  FilePattern pattern_{"*.*"};
  // Reads left behind by "Abbrechen": the files they list are not wanted,
  // and waiting for a large folder would keep the search going. Finished
  // before the next press of the button.
  std::vector<std::future<FolderRead>> abandoned_;
  std::string abandonedFolder_;
  std::string cursor_;  // the folder list's current folder during a search
  std::string searched_;
  bool listFull_ = false;  // the full-list message was shown in this search
  bool searching_ = false;
  std::chrono::steady_clock::time_point lastYield_;
};

}  // namespace velmora
