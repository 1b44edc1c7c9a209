// Operations 10 to 12: insert the running number that all slots share.
#include <limits>

#include "engine/error_numbers.h"
#include "engine/numeric.h"
#include "engine/operation_frame.h"
#include "engine/operations.h"
#include "engine/text.h"

namespace velmora {
namespace {

// Hands out the next number: the start value (and its typed width) when
// numbering has not started in this run, else one more than the last.
bool AdvanceCounter(const OperationInput& in, std::string& number, Error& error) {
  NameContext& ctx = in.ctx;
  if (ctx.numberCounter == 0) {
    const IntResult start = ToInt32(in.source);
    if (start.error) {
      error = start.error;
      return false;
    }
    ctx.numberCounter = start.value;
    ctx.numberWidth = static_cast<int>(CharLength(in.source));
  } else {
    if (ctx.numberCounter > std::numeric_limits<int>::max() - ctx.numberStep) {
      error = OverflowError();
      return false;
    }
    ctx.numberCounter += ctx.numberStep;
  }
  number = NumberText(ctx.numberCounter, ctx.numberWidth);
  return true;
}

}  // namespace

std::string NumberText(int value, int width) {
  const long long wide = value;
  std::string digits = std::to_string(wide < 0 ? -wide : wide);
  std::string text;
  if (wide < 0) text.push_back('-');
  if (width > 0 && digits.size() < static_cast<std::size_t>(width)) {
    text.append(static_cast<std::size_t>(width) - digits.size(), '0');
  }
  return text.append(digits);
}

std::string InsertNumberAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                              NameContext& ctx) {
  return RunOperation(
      10, job, slot, sourcePath, ctx, [](const OperationInput& in, std::string& out, Error& error) {
        std::string number;
        return AdvanceCounter(in, number, error) && InsertAfterAnchor(in, number, out);
      });
}

std::string InsertNumberBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                               NameContext& ctx) {
  return RunOperation(
      11, job, slot, sourcePath, ctx, [](const OperationInput& in, std::string& out, Error& error) {
        std::string number;
        return AdvanceCounter(in, number, error) && InsertBeforeAnchor(in, number, out);
      });
}

std::string InsertNumberAt(const RenameJob& job, int slot, const std::string& sourcePath,
                           NameContext& ctx) {
  return RunOperation(
      12, job, slot, sourcePath, ctx, [](const OperationInput& in, std::string& out, Error& error) {
        std::string number;
        return AdvanceCounter(in, number, error) && InsertAtPosition(in, number, out, error);
      });
}

}  // namespace velmora
