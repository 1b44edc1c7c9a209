// Operation 18: the file's name from its tags, its photo date or its own
// modification time.
#include "engine/error_numbers.h"
#include "engine/name_template.h"
#include "engine/operation_frame.h"
#include "engine/operations.h"

namespace velmora {

std::string NameFromTags(const RenameJob& job, int slot, const std::string& sourcePath,
                         NameContext& ctx) {
  return RunOperation(kFromTagsCode, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error& error) {
                        NameTemplate tmpl;
                        error = ParseNameTemplate(in.source, tmpl);
                        if (error) return false;
                        std::string base;
                        error = ExpandNameTemplate(tmpl, in.ctx.fields, base);
                        if (error) return false;
                        // The tags may hold what a name cannot ("AC/DC").
                        for (char& c : base) {
                          if (c == kPathSeparator || c == '\0') c = '_';
                        }
                        const std::size_t dot = in.name.rfind('.');
                        out.append(base);
                        if (dot != std::string_view::npos) out.append(in.name.substr(dot));
                        return true;
                      });
}

}  // namespace velmora
