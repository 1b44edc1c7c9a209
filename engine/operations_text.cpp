// Operations 1 to 4: replace text and insert text after, before or at.
#include "engine/numeric.h"
#include "engine/operation_frame.h"
#include "engine/operations.h"
#include "engine/text.h"

namespace velmora {

std::string ReplaceText(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx) {
  return RunOperation(1, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        // The name changes exactly when something was found and the
                        // replacement differs: the first occurrence then reads otherwise.
                        const std::size_t found =
                            AppendReplaced(out, in.name, in.source, in.destination);
                        return found > 0 && in.source != in.destination;
                      });
}

std::string InsertTextAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                            NameContext& ctx) {
  return RunOperation(2, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        // The insertion point comes from the case-sensitive search; an
                        // anchor present only in another case leaves the name alone.
                        const TextHit hit = FindTextHit(in.name, in.destination);
                        if (!hit) return false;
                        const std::size_t q = hit.offset + in.destination.size();
                        out.append(in.name.substr(0, q)).append(in.source).append(in.name.substr(q));
                        return true;
                      });
}

std::string InsertTextBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                             NameContext& ctx) {
  return RunOperation(3, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        const TextHit hit = FindTextHit(in.name, in.destination);
                        if (!hit) return false;
                        out.append(in.name.substr(0, hit.offset))
                            .append(in.source)
                            .append(in.name.substr(hit.offset));
                        return true;
                      });
}

std::string InsertTextAt(const RenameJob& job, int slot, const std::string& sourcePath,
                         NameContext& ctx) {
  return RunOperation(4, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error& error) {
                        const IntResult pos = ToInt32(in.destination);
                        if (pos.error) {
                          error = pos.error;
                          return false;
                        }
                        if (pos.value < 1) return false;
                        const auto position = static_cast<std::size_t>(pos.value);
                        if (position > CharLength(in.name) + 1) return false;
                        const std::size_t at = ByteOffsetOfChar(in.name, position);
                        out.append(in.name.substr(0, at)).append(in.source).append(in.name.substr(at));
                        return true;
                      });
}

}  // namespace velmora
