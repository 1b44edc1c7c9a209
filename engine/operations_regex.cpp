// Operations 19 and 20: replacing by a regular expression, and German
// transliteration.
#include "engine/error_numbers.h"
#include "engine/operation_frame.h"
#include "engine/operations.h"
#include "engine/slot_patterns.h"
#include "engine/transliterate.h"

namespace velmora {

std::string ReplaceRegex(const RenameJob& job, int slot, const std::string& sourcePath,
                         NameContext& ctx) {
  // Outside a walk (single calls) the pattern is compiled for this call.
  SlotPatterns single;
  SlotPatterns& patterns = ctx.patterns != nullptr ? *ctx.patterns : single;
  const auto index = static_cast<std::size_t>(slot);
  if (patterns.stopped[index]) return {};
  if (!patterns.made[index]) {
    RegexProblem problem;
    patterns.replacers[index] =
        RegexReplacer::Make(job.txtSource[index], job.txtDestination[index], problem);
    patterns.made[index] = true;
  }
  const RegexReplacer* replacer = patterns.replacers[index].get();
  return RunOperation(kRegexCode, job, slot, sourcePath, ctx,
                      [&](const OperationInput& in, std::string& out, Error& error) {
                        // The input check refuses such a pattern before any walk.
                        if (replacer == nullptr) {
                          error = InvalidArgumentError();
                          return false;
                        }
                        const RegexOutcome outcome = replacer->Replace(in.name, out);
                        if (outcome == RegexOutcome::kLimit) {
                          patterns.stopped[index] = true;
                          error = {kRegexLimit, std::string(in.source)};
                        }
                        return outcome == RegexOutcome::kReplaced;
                      });
}

std::string Transliterate(const RenameJob& job, int slot, const std::string& sourcePath,
                          NameContext& ctx) {
  return RunOperation(kTransliterateCode, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        AppendTransliterated(in.name, in.source == "de", out);
                        return true;
                      });
}

}  // namespace velmora
