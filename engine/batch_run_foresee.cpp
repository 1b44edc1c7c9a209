#include "engine/batch_run_foresee.h"

#include <cstddef>

namespace velmora {
namespace {

FileOp OpOf(RunKind kind) {
  if (kind == RunKind::kMove) return FileOp::kMove;
  if (kind == RunKind::kCopy) return FileOp::kCopy;
  return FileOp::kRename;
}

void Add(const PlanStep& step, FileOp op, std::vector<ForeseenStep>& steps) {
  if (step.refused || step.state == PlanState::kUnchanged || step.source == step.destination) {
    return;
  }
  steps.push_back({op, &step.source, &step.destination});
}

}  // namespace

std::vector<ForeseenStep> ForeseenSteps(const RunPlan& plan, RunKind kind) {
  std::vector<ForeseenStep> steps;
  if (kind == RunKind::kNone) return steps;
  const FileOp op = OpOf(kind);
  // At most one a planned step: grown step by step, the list would touch
  // twice its room.
  steps.reserve(plan.steps.size());
  if (plan.order.empty()) {
    for (const PlanStep& step : plan.steps) Add(step, op, steps);
    return steps;
  }
  // Each row's steps lie together in plan.steps, in row order.
  const std::size_t n = plan.rows.size();
  std::vector<std::size_t> first(n, 0), last(n, 0);
  std::vector<char> parked(n, 0);
  for (std::size_t i = 0, row = 0; i < plan.steps.size(); ++i) {
    while (row < n && plan.rows[row].entry != plan.steps[i].entry) ++row;
    if (row == n) break;
    if (first[row] == last[row]) first[row] = i;
    last[row] = i + 1;
  }
  for (const ChainTurn& turn : plan.order) {
    const auto row = static_cast<std::size_t>(turn.row);
    if (row >= n) continue;
    if (turn.park) parked[row] = 1;
    if (turn.park || parked[row]) continue;
    for (std::size_t i = first[row]; i < last[row]; ++i) Add(plan.steps[i], op, steps);
  }
  return steps;
}

}  // namespace velmora
