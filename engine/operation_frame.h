// The frame every name operation shares: cut the source path, let the
// operation's rule build the new name behind the folder part, and report a
// failure of the rule. Internal to the operation files.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "engine/error_numbers.h"
#include "engine/error_reporter.h"
#include "engine/job.h"
#include "engine/path.h"

namespace velmora {

// What a rule reads: its slot's two fields, the file-name part and the run
// context (the numbering operations advance its counter).
struct OperationInput {
  std::string_view source;       // first field
  std::string_view destination;  // second field
  std::string_view name;         // file-name part, extension included
  NameContext& ctx;
};

// Reports a failure of operation `code` for `sourcePath` at location code + 2.
void ReportOperationFailure(int code, const Error& error, const std::string& sourcePath,
                            const NameContext& ctx);

// Appends the name with `insert` behind the first case-sensitive occurrence
// of the anchor (the second field); false, with nothing appended, when the
// anchor does not occur in exactly that case.
bool InsertAfterAnchor(const OperationInput& in, std::string_view insert, std::string& out);

// The same with `insert` in front of the anchor.
bool InsertBeforeAnchor(const OperationInput& in, std::string_view insert, std::string& out);

// Reads the "Pos." field (the second field) as a 1-based character position.
// False for a position below 1, and with `error` set for a text that does
// not convert.
bool ReadPosition(const OperationInput& in, std::size_t& position, Error& error);

// Appends the name with `insert` at the position in the "Pos." field (1 ..
// length + 1); false, with nothing appended, for any other position.
bool InsertAtPosition(const OperationInput& in, std::string_view insert, std::string& out,
                      Error& error);

// Runs `rule(input, out, error)`, which appends the new file name to `out`
// (already holding the folder part) and returns false when the operation
// does not apply. Returns out, or "" when the rule did not apply or failed;
// a new name that is not a single path component is a failure (52).
template <typename Rule>
std::string RunOperation(int code, const RenameJob& job, int slot, const std::string& sourcePath,
                         NameContext& ctx, Rule&& rule) {
  const std::string_view path = sourcePath;
  const std::size_t nameStart = FileNameStart(path);
  const std::string_view folder =
      IntoFolder(ctx.kind) ? std::string_view(ctx.destPath) : path.substr(0, nameStart);
  OperationInput input{job.txtSource[slot], job.txtDestination[slot], path.substr(nameStart), ctx};
  std::string out = std::move(ctx.spare);
  out.clear();
  out.reserve(folder.size() + input.name.size() + input.source.size() + 16);
  out.append(folder);
  Error error;
  const bool applied = rule(input, out, error);
  if (error) {
    ReportOperationFailure(code, error, sourcePath, ctx);
    return {};
  }
  if (!applied) return {};
  if (!IsSingleName(std::string_view(out).substr(folder.size()))) {
    ReportOperationFailure(code, BadFileNameError(), sourcePath, ctx);
    return {};
  }
  return out;
}

}  // namespace velmora
