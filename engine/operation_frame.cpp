#include "engine/operation_frame.h"

#include "engine/numeric.h"
#include "engine/report_contexts.h"
#include "engine/text.h"
#include "engine/user_text.h"

namespace velmora {

void ReportOperationFailure(int code, const Error& error, const std::string& sourcePath,
                            const NameContext& ctx) {
  if (ctx.reporter == nullptr) return;
  ctx.reporter->ReportError(OperationLocation(code), error.number, kRenameErrorContext, sourcePath,
                            error.description);
}

bool InsertAfterAnchor(const OperationInput& in, std::string_view insert, std::string& out) {
  // The insertion point comes from the case-sensitive search; an anchor
  // present only in another case leaves the name alone.
  const TextHit hit = FindTextHit(in.name, in.destination);
  if (!hit) return false;
  const std::size_t at = hit.offset + in.destination.size();
  out.append(in.name.substr(0, at)).append(insert).append(in.name.substr(at));
  return true;
}

bool InsertBeforeAnchor(const OperationInput& in, std::string_view insert, std::string& out) {
  const TextHit hit = FindTextHit(in.name, in.destination);
  if (!hit) return false;
  out.append(in.name.substr(0, hit.offset)).append(insert).append(in.name.substr(hit.offset));
  return true;
}

bool ReadPosition(const OperationInput& in, std::size_t& position, Error& error) {
  const IntResult pos = ToInt32(in.destination);
  if (pos.error) {
    error = pos.error;
    return false;
  }
  if (pos.value < 1) return false;
  position = static_cast<std::size_t>(pos.value);
  return true;
}

bool InsertAtPosition(const OperationInput& in, std::string_view insert, std::string& out,
                      Error& error) {
  std::size_t position = 0;
  if (!ReadPosition(in, position, error)) return false;
  if (position > CharLength(in.name) + 1) return false;
  const std::size_t at = ByteOffsetOfChar(in.name, position);
  out.append(in.name.substr(0, at)).append(insert).append(in.name.substr(at));
  return true;
}

}  // namespace velmora
