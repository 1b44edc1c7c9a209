// Runs with chains and cycles resolved: the planned steps of each marked
// entry, all together, in an order where every target is free by its turn;
// a cycle is broken by parking one entry's file under a rename temporary
// first. The names are the plan's, fixed before the first question. The run
// and its plan share this walk, so the plan foretells what the run does.
#pragma once

#include <string>
#include <vector>

#include "engine/batch_run_state.h"
#include "engine/commit.h"
#include "engine/plan.h"

namespace velmora {

// The order of turns for the plan's rows: rows ready first (lowest row
// first), a parking wherever only cycles remain. Reads the steps' waitsFor.
std::vector<ChainTurn> OrderChains(const RunPlan& plan);

// What a resolved run does around each step; the plan plays it on names.
class ChainActions {
 public:
  virtual ~ChainActions() = default;
  // Row's turn begins.
  virtual void Turn(int /*row*/) {}
  // Before the question; an error ends the run with it.
  virtual Error Computed(const PlanStep& step) = 0;
  // The answer of `Dialog` for step, asked until "&Alle".
  virtual Answer Ask(const PlanStep& step) = 0;
  // The file at from gets step's destination (from is step.source, or the
  // rename temporary of a parked entry).
  virtual CommitResult Move(const std::string& from, const PlanStep& step) = 0;
  // Moves the file at from to a rename temporary, set into temp.
  virtual CommitResult Park(const std::string& from, std::string& temp) = 0;
  // Takes a move of this run back: the file at from returns to to.
  virtual CommitResult MoveBack(const std::string& from, const std::string& to) = 0;
  // Takes a finished step back when a stop comes between a file's steps.
  virtual CommitResult TakeBack(const std::string& from, const std::string& to) {
    return MoveBack(from, to);
  }
  // A confirmed step the plan refused (its target stays taken).
  virtual void Refused(const PlanStep& step) = 0;
  virtual bool StopRequested() { return false; }
};

// Walks plan.order. "&Nein", a refused or a failed step ends that entry's
// turn; a step whose target's entry has not left is asked and refused like
// a step the plan refused, unless that entry was kept by "&Nein": then it is
// passed over without a question. A parked file that cannot go on,
// "&Abbrechen" and a stop while a file is parked first take back every move
// made since the parking. A stop between an entry's steps finishes them after
// "&Alle", else takes back the ones of its turn.
class ChainRun {
 public:
  ChainRun(const RunPlan& plan, const std::vector<FoundEntry>& found, ChainActions& actions);

  // Returns the error that ended the run, if any.
  Error Run();

  // After Run: where row's file is, and whether step i went through.
  [[nodiscard]] const std::string& At(int row) const { return at_[static_cast<std::size_t>(row)]; }
  [[nodiscard]] bool Ran(std::size_t step) const { return ran_[step] != 0; }

 private:
  enum class Go { kOn, kEnd };
  struct Moved {
    int row;
    std::size_t step;  // the step it made, or kNoStep
    std::string from, to;
  };

  Go RunTurn(int row);
  // Moves row's file by step i and records the move.
  CommitResult MoveStep(int row, std::size_t i, bool fromParking, std::vector<Moved>& turn);
  Go ParkTurn(int row);
  // Asks step; kOn with taken set, or kEnd. finishing skips the stop check.
  Go AskStep(const PlanStep& step, bool& taken, bool finishing = false);
  // AskStep for a step of row's turn after the moves in turn: a stop between
  // them takes the turn back unless "&Alle" confirmed the rest.
  Go AskInTurn(int row, const PlanStep& step, std::vector<Moved>& turn, bool& taken);
  // True when a stop came between the steps of row's turn, which is taken back.
  bool StopsMidTurn(int row, std::vector<Moved>& turn);
  // Moves row's file back over the moves of its turn, newest first.
  void TakeBackTurn(int row, std::vector<Moved>& turn);
  Go End();
  void Record(int row, std::size_t step, const std::string& from, const std::string& to);
  void RollBack();
  [[nodiscard]] bool Left(int row) const;

  const RunPlan& plan_;
  const std::vector<FoundEntry>& found_;
  ChainActions& actions_;
  std::vector<std::size_t> first_, last_;  // each row's steps
  std::vector<std::string> at_;
  std::vector<std::size_t> asked_;  // a parked row's step already answered
  std::vector<char> parked_, stopped_, ran_;
  std::vector<char> declined_;  // the row's file stays by "&Nein"
  std::vector<Moved> since_;    // moves since the oldest parking still open
  int parkedCount_ = 0;
  bool ended_ = false;
  bool all_ = false;  // "&Alle" given during this run
  bool no_ = false;   // the step asked last was answered "&Nein"
  Error error_;
};

}  // namespace velmora
