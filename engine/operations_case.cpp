// Operations 13, 14, 16 and 17: capitals, mirror, all capitals, all small.
// The case operations map every letter by its simple one-to-one mapping
// (engine/text.h), so a name keeps its characters, only their case changes.
#include "engine/error_numbers.h"
#include "engine/operation_frame.h"
#include "engine/operations.h"
#include "engine/text.h"

namespace velmora {

std::string CapitalizeWords(const RenameJob& job, int slot, const std::string& sourcePath,
                            NameContext& ctx) {
  return RunOperation(13, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        AppendWordCapitals(in.name, out);
                        return true;
                      });
}

std::string MirrorName(const RenameJob& job, int slot, const std::string& sourcePath,
                       NameContext& ctx) {
  return RunOperation(14, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error& error) {
                        const std::string_view separator = in.source;
                        const std::size_t dot = in.name.rfind('.');
                        if (dot == std::string_view::npos) {
                          error = InvalidArgumentError();
                          return false;
                        }
                        const std::string_view base = in.name.substr(0, dot);
                        const std::string_view ext = in.name.substr(dot + 1);
                        // The separator is searched in the whole name; only an occurrence
                        // wholly inside the base name can be mirrored.
                        const TextHit hit = FindTextHit(in.name, separator);
                        if (!hit) return false;
                        const std::size_t end = hit.offset + separator.size();
                        if (end > dot) {
                          error = InvalidArgumentError();
                          return false;
                        }
                        out.append(base.substr(end))
                            .append(separator)
                            .append(base.substr(0, hit.offset))
                            .append(".")
                            .append(ext);
                        return true;
                      });
}

std::string ToUpperCase(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx) {
  return RunOperation(16, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        AppendUpperCase(in.name, out);
                        return true;
                      });
}

std::string ToLowerCase(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx) {
  return RunOperation(17, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        AppendLowerCase(in.name, out);
                        return true;
                      });
}

}  // namespace velmora
