// Reading journal segments into JournalContents: several segments, oldest
// first, into one contents, so that a run's records may span them.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "services/journal.h"

namespace velmora {

class JournalParser {
 public:
  // With statesOnly, for readers that need only how many steps each run has
  // open: the steps are checked as ever but not kept in contents (OpenSteps).
  // contents is empty then.
  explicit JournalParser(JournalContents& contents, bool statesOnly = false);

  // What one segment held besides its records.
  struct Segment {
    std::unordered_set<std::string> runs;  // runs with a record in it
    bool foreign = false;                  // a record of an unknown letter
    bool damaged = false;                  // a record skipped as damaged
    bool version2 = false;
  };

  // Adds the records of text (version 2 or 3). A last line without LF is
  // dropped; a damaged line is skipped and named in warnings as NAME:LINE.
  // 321 on text of another version.
  Error Add(std::string_view text, const std::string& name, Segment* segment = nullptr);

  // Room for this many steps in all, made at once.
  void Reserve(std::size_t steps);

  // With statesOnly: the steps left open (pending or done) of each run, by
  // its index in contents.runs.
  [[nodiscard]] std::vector<std::size_t> OpenSteps() const;

 private:
  // record's fields into fields_.
  void Split(std::string_view record);
  bool Record(std::string_view record, Segment& segment);
  bool Intent(const std::vector<std::string_view>& f, const std::string& run);
  bool Later(const std::vector<std::string_view>& f, const std::string& run);
  bool Identity(const std::vector<std::string_view>& f, std::size_t first, StepIdentity& id) const;
  JournalRun& RunNamed(const std::string& id);

  JournalContents& contents_;
  // (run's index, seq) -> step's index; no string built per record.
  struct StepKeyHash {
    std::size_t operator()(const std::pair<std::size_t, long>& key) const {
      return std::hash<long>()(key.second) * 31 + key.first;
    }
  };
  std::unordered_map<std::pair<std::size_t, long>, std::size_t, StepKeyHash> steps_;
  std::unordered_map<std::string, std::size_t> runs_;
  int version_ = 3;
  bool statesOnly_ = false;
  struct StepOfRun {
    std::size_t run = 0;  // index in runs_
    StepState state = StepState::kPending;
  };
  std::vector<StepOfRun> states_;         // with statesOnly, in place of contents' steps
  std::vector<std::string_view> fields_;  // of the record at hand; its room is kept
  // The run of the record before in this segment, and its index in runs_.
  static constexpr std::size_t kUnknownRun = static_cast<std::size_t>(-1);
  bool sameRun_ = false;
  std::string run_;
  std::size_t runIndex_ = kUnknownRun;
};

}  // namespace velmora
