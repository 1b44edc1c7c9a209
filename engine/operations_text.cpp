// Operations 1 to 4: replace text and insert text after, before or at.
#include "engine/operation_frame.h"
#include "engine/operations.h"
#include "engine/text.h"

namespace velmora {

std::string ReplaceText(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx) {
  return RunOperation(
      1, job, slot, sourcePath, ctx, [](const OperationInput& in, std::string& out, Error&) {
        // The name changes exactly when something was found and the
        // replacement differs: the first occurrence then reads otherwise.
        const std::size_t found = AppendReplaced(out, in.name, in.source, in.destination);
        return found > 0 && in.source != in.destination;
      });
}

std::string InsertTextAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                            NameContext& ctx) {
  return RunOperation(2, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        return InsertAfterAnchor(in, in.source, out);
                      });
}

std::string InsertTextBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                             NameContext& ctx) {
  return RunOperation(3, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        return InsertBeforeAnchor(in, in.source, out);
                      });
}

std::string InsertTextAt(const RenameJob& job, int slot, const std::string& sourcePath,
                         NameContext& ctx) {
  return RunOperation(4, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error& error) {
                        return InsertAtPosition(in, in.source, out, error);
                      });
}

}  // namespace velmora
