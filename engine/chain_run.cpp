#include "engine/chain_run.h"

#include <functional>
#include <limits>
#include <queue>

namespace velmora {
namespace {

constexpr std::size_t kNoStep = std::numeric_limits<std::size_t>::max();

bool Moves(const PlanStep& step) { return step.state != PlanState::kUnchanged; }

}  // namespace

namespace {

// The rows that wait for others' listed names, taken in turn: a row goes
// once every row it waits for has left; a cycle is broken by parking one of
// its rows.
class ChainOrder {
 public:
  explicit ChainOrder(const RunPlan& plan)
      : n_(plan.rows.size()),
        waits_(n_),
        dependents_(n_),
        moves_(n_, 0),
        pending_(n_),
        freed_(n_, 0),
        done_(n_, 0),
        seen_(n_, -1) {
    std::size_t row = 0;
    for (const PlanStep& step : plan.steps) {
      while (row < n_ && plan.rows[row].entry != step.entry) ++row;
      if (row == n_) break;
      if (Moves(step)) moves_[row] = 1;
      const int other = step.waitsFor;
      if (other >= 0 && static_cast<std::size_t>(other) != row) {
        waits_[row].push_back(other);
        dependents_[static_cast<std::size_t>(other)].push_back(static_cast<int>(row));
      }
    }
    for (std::size_t r = 0; r < n_; ++r) pending_[r] = waits_[r].size();
  }

  std::vector<ChainTurn> Order() {
    // A row that never moves never frees its name; those waiting on it are
    // passed over when their turn comes.
    for (std::size_t r = 0; r < n_; ++r) {
      if (!moves_[r]) Free(static_cast<int>(r));
    }
    for (std::size_t r = 0; r < n_; ++r) {
      if (!moves_[r]) continue;
      ++remaining_;
      if (pending_[r] == 0) ready_.push(static_cast<int>(r));
    }
    while (remaining_ > 0) {
      TakeReady();
      if (remaining_ == 0) break;
      const int parked = RowOnCycle();
      if (parked < 0) break;  // cannot happen: a parked row waits on an unfreed one
      order_.push_back({parked, true});
      Free(parked);
    }
    return std::move(order_);
  }

 private:
  // The row's listed name is free for others: it has left, or is parked.
  void Free(int row) {
    const std::size_t r = static_cast<std::size_t>(row);
    if (freed_[r]) return;
    freed_[r] = 1;
    for (const int d : dependents_[r]) {
      const std::size_t dr = static_cast<std::size_t>(d);
      if (--pending_[dr] == 0 && !done_[dr] && moves_[dr]) ready_.push(d);
    }
  }

  void TakeReady() {
    while (!ready_.empty()) {
      const int row = ready_.top();
      ready_.pop();
      const std::size_t r = static_cast<std::size_t>(row);
      if (done_[r]) continue;
      done_[r] = 1;
      --remaining_;
      order_.push_back({row, false});
      Free(row);
    }
  }

  // Only cycles (and rows waiting on them) remain: follow what the first of
  // them waits for until a row comes round again; it is on a cycle.
  int RowOnCycle() {
    while (scan_ < n_ && (done_[scan_] || freed_[scan_] || !moves_[scan_])) ++scan_;
    if (scan_ == n_) return -1;
    int x = static_cast<int>(scan_);
    while (seen_[static_cast<std::size_t>(x)] != stall_) {
      seen_[static_cast<std::size_t>(x)] = stall_;
      for (const int w : waits_[static_cast<std::size_t>(x)]) {
        if (!freed_[static_cast<std::size_t>(w)]) {
          x = w;
          break;
        }
      }
    }
    ++stall_;
    return x;
  }

  const std::size_t n_;
  std::vector<std::vector<int>> waits_, dependents_;
  std::vector<char> moves_;
  std::vector<std::size_t> pending_;
  std::vector<char> freed_, done_;
  std::vector<int> seen_;
  std::priority_queue<int, std::vector<int>, std::greater<>> ready_;
  std::vector<ChainTurn> order_;
  std::size_t remaining_ = 0;
  std::size_t scan_ = 0;
  int stall_ = 0;
};

}  // namespace

std::vector<ChainTurn> OrderChains(const RunPlan& plan) { return ChainOrder(plan).Order(); }

ChainRun::ChainRun(const RunPlan& plan, const std::vector<FoundEntry>& found, ChainActions& actions)
    : plan_(plan), found_(found), actions_(actions) {
  const std::size_t n = plan.rows.size();
  first_.assign(n, 0);
  last_.assign(n, 0);
  at_.resize(n);
  asked_.assign(n, kNoStep);
  parked_.assign(n, 0);
  declined_.assign(n, 0);
  stopped_.assign(n, 0);
  ran_.assign(plan.steps.size(), 0);
  std::size_t row = 0;
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    while (row < n && plan.rows[row].entry != plan.steps[i].entry) ++row;
    if (row == n) break;
    if (first_[row] == last_[row]) first_[row] = i;
    last_[row] = i + 1;
  }
  for (std::size_t r = 0; r < n; ++r) at_[r] = found[plan.rows[r].entry].path;
}

bool ChainRun::Left(int row) const {
  const std::size_t r = static_cast<std::size_t>(row);
  return at_[r] != found_[plan_.rows[r].entry].path;
}

Error ChainRun::Run() {
  all_ = false;
  for (const ChainTurn& turn : plan_.order) {
    actions_.Turn(turn.row);
    const Go go = turn.park ? ParkTurn(turn.row) : RunTurn(turn.row);
    if (go == Go::kEnd) break;
  }
  return error_;
}

ChainRun::Go ChainRun::End() {
  if (!ended_) RollBack();
  return Go::kEnd;
}

ChainRun::Go ChainRun::AskStep(const PlanStep& step, bool& taken, bool finishing) {
  taken = false;
  no_ = false;
  if (!finishing && actions_.StopRequested()) return End();
  if (Error error = actions_.Computed(step)) {
    error_ = error;
    return End();
  }
  const Answer answer = all_ ? Answer::kYes : ClosedAsCancel(actions_.Ask(step));
  if (answer == Answer::kCancel) return End();
  if (answer == Answer::kAll) all_ = true;
  if (answer == Answer::kNo) {
    no_ = true;
    return Go::kOn;
  }
  if (step.refused) {
    actions_.Refused(step);
    return Go::kOn;
  }
  taken = true;
  return Go::kOn;
}

void ChainRun::Record(int row, std::size_t step, const std::string& from, const std::string& to) {
  if (parkedCount_ > 0) since_.push_back({row, step, from, to});
}

ChainRun::Go ChainRun::ParkTurn(int row) {
  const std::size_t r = static_cast<std::size_t>(row);
  std::size_t i = first_[r];
  while (i < last_[r] && !Moves(plan_.steps[i])) ++i;
  if (i == last_[r] || stopped_[r]) return Go::kOn;
  bool taken = false;
  if (AskStep(plan_.steps[i], taken) == Go::kEnd) return Go::kEnd;
  if (!taken) {
    stopped_[r] = 1;
    declined_[r] = no_ ? 1 : 0;
    return Go::kOn;
  }
  std::string temp;
  const CommitResult result = actions_.Park(at_[r], temp);
  if (result == CommitResult::kStopRun) {
    ended_ = true;
    return Go::kEnd;
  }
  if (result != CommitResult::kCommitted) {
    stopped_[r] = 1;
    return Go::kOn;
  }
  parked_[r] = 1;
  ++parkedCount_;
  Record(row, kNoStep, at_[r], temp);
  at_[r] = temp;
  asked_[r] = i;
  return Go::kOn;
}

ChainRun::Go ChainRun::RunTurn(int row) {
  const std::size_t r = static_cast<std::size_t>(row);
  if (stopped_[r]) return Go::kOn;
  std::vector<Moved> turn;  // this turn's moves, for a stop before its end
  for (std::size_t i = first_[r]; i < last_[r]; ++i) {
    const PlanStep& step = plan_.steps[i];
    if (!Moves(step)) {
      ran_[i] = 1;
      continue;
    }
    const bool blocked = step.waitsFor >= 0 && !Left(step.waitsFor);
    // A name the user kept with "&Nein" is passed over unasked, and so is
    // every step waiting on it.
    if (blocked && declined_[static_cast<std::size_t>(step.waitsFor)]) {
      declined_[r] = 1;
      break;
    }
    const bool fromParking = asked_[r] == i;
    if (fromParking) {
      asked_[r] = kNoStep;
      if (actions_.StopRequested()) return End();
    } else {
      bool taken = false;
      if (AskInTurn(row, step, turn, taken) == Go::kEnd) return Go::kEnd;
      if (!taken) {
        declined_[r] = no_ ? 1 : 0;
        break;
      }
    }
    // Otherwise the entry whose name this step needs stays: refused as a step
    // onto a file the run needs is, logged and reported, never left out unsaid.
    if (blocked) {
      actions_.Refused(step);
      break;
    }
    const CommitResult result = MoveStep(row, i, fromParking, turn);
    if (result == CommitResult::kStopRun) {
      ended_ = true;
      return Go::kEnd;
    }
    if (result != CommitResult::kCommitted) break;
  }
  // A parked file that cannot go on goes home, and so does every file moved
  // since it was parked: its name may be taken.
  if (parked_[r]) RollBack();
  stopped_[r] = 1;
  return Go::kOn;
}

CommitResult ChainRun::MoveStep(int row, std::size_t i, bool fromParking,
                                std::vector<Moved>& turn) {
  const std::size_t r = static_cast<std::size_t>(row);
  const PlanStep& step = plan_.steps[i];
  const CommitResult result = actions_.Move(at_[r], step);
  if (result != CommitResult::kCommitted) return result;
  Record(row, i, at_[r], step.destination);
  // Never back into a rename temporary: its name is free for nobody.
  if (!fromParking) turn.push_back({row, i, at_[r], step.destination});
  at_[r] = step.destination;
  ran_[i] = 1;
  if (parked_[r]) {
    parked_[r] = 0;
    if (--parkedCount_ == 0) since_.clear();
  }
  return result;
}

ChainRun::Go ChainRun::AskInTurn(int row, const PlanStep& step, std::vector<Moved>& turn,
                                 bool& taken) {
  if (StopsMidTurn(row, turn)) return End();
  const bool rollsBack = parkedCount_ > 0;  // End() takes this turn back then
  if (AskStep(step, taken, !turn.empty() && all_) == Go::kEnd) {
    // A question cut short by a stop (a terminal closed) is the stop.
    if (!rollsBack) StopsMidTurn(row, turn);
    return Go::kEnd;
  }
  return Go::kOn;
}

bool ChainRun::StopsMidTurn(int row, std::vector<Moved>& turn) {
  // Between the entry's steps a stop takes its turn back unless "&Alle"
  // confirmed the rest; with a parking open, the roll back covers it.
  if (turn.empty() || all_ || parkedCount_ > 0 || !actions_.StopRequested()) return false;
  TakeBackTurn(row, turn);
  return true;
}

void ChainRun::TakeBackTurn(int row, std::vector<Moved>& turn) {
  const std::size_t r = static_cast<std::size_t>(row);
  for (auto it = turn.rbegin(); it != turn.rend(); ++it) {
    const CommitResult result = actions_.TakeBack(it->to, it->from);
    if (result == CommitResult::kStopRun) ended_ = true;
    if (result != CommitResult::kCommitted) return;
    at_[r] = it->from;
    ran_[it->step] = 0;
  }
}

void ChainRun::RollBack() {
  for (auto it = since_.rbegin(); it != since_.rend(); ++it) {
    const std::size_t r = static_cast<std::size_t>(it->row);
    const CommitResult result = actions_.MoveBack(it->to, it->from);
    if (result == CommitResult::kStopRun) {
      ended_ = true;
      break;
    }
    if (result != CommitResult::kCommitted) continue;
    at_[r] = it->from;
    parked_[r] = 0;
    stopped_[r] = 1;
    if (it->step != kNoStep) ran_[it->step] = 0;
  }
  since_.clear();
  parkedCount_ = 0;
}

}  // namespace velmora
