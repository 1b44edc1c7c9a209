// Operations 5 to 9 and 15: delete counted characters, everything before or
// after an anchor, or what lies between two anchors.
#include "engine/numeric.h"
#include "engine/operation_frame.h"
#include "engine/operations.h"
#include "engine/text.h"

namespace velmora {
namespace {

// Reads the "Anz." field. A negative count would repeat characters instead of
// deleting them, so it leaves the name alone (the check before a run refuses
// it anyway).
bool ReadCount(std::string_view text, std::size_t& count, Error& error) {
  const IntResult n = ToInt16(text);
  if (n.error) {
    error = n.error;
    return false;
  }
  if (n.value < 0) return false;
  count = static_cast<std::size_t>(n.value);
  return true;
}

}  // namespace

std::string DeleteCountAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                             NameContext& ctx) {
  return RunOperation(5, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error& error) {
                        std::size_t n = 0;
                        if (!ReadCount(in.source, n, error)) return false;
                        // Acts on a case-sensitive match, but cuts behind the first match
                        // in any case, which may be an earlier one.
                        if (!FindTextHit(in.name, in.destination)) return false;
                        const TextHit anchor = FindTextNoCaseHit(in.name, in.destination);
                        const std::size_t e = anchor.offset + in.destination.size();
                        const std::string_view rest = in.name.substr(e);
                        if (CharLength(rest) < n) return false;
                        out.append(in.name.substr(0, e)).append(MidChars(rest, n + 1));
                        return true;
                      });
}

std::string DeleteCountBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                              NameContext& ctx) {
  return RunOperation(
      6, job, slot, sourcePath, ctx, [](const OperationInput& in, std::string& out, Error& error) {
        std::size_t n = 0;
        if (!ReadCount(in.source, n, error)) return false;
        const TextHit hit = FindTextHit(in.name, in.destination);
        if (!hit) return false;
        const std::size_t before = hit.position - 1;
        if (before < n) return false;
        out.append(LeftChars(in.name, before - n)).append(in.name.substr(hit.offset));
        return true;
      });
}

std::string DeleteCountAt(const RenameJob& job, int slot, const std::string& sourcePath,
                          NameContext& ctx) {
  return RunOperation(7, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error& error) {
                        std::size_t n = 0;
                        if (!ReadCount(in.source, n, error)) return false;
                        std::size_t position = 0;
                        if (!ReadPosition(in, position, error)) return false;
                        const std::size_t length = CharLength(in.name);
                        if (position > length + 1 || length - position + 1 < n) return false;
                        const std::size_t at = ByteOffsetOfChar(in.name, position);
                        const std::string_view rest = in.name.substr(at);
                        out.append(in.name.substr(0, at)).append(MidChars(rest, n + 1));
                        return true;
                      });
}

std::string DeleteAllBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                            NameContext& ctx) {
  return RunOperation(8, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        const TextHit hit = FindTextHit(in.name, in.destination);
                        if (!hit) return false;
                        out.append(in.name.substr(hit.offset));
                        return true;
                      });
}

std::string DeleteAllAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                           NameContext& ctx) {
  return RunOperation(9, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        const TextHit hit = FindTextHit(in.name, in.destination);
                        if (!hit) return false;
                        out.append(in.name.substr(0, hit.offset + in.destination.size()));
                        return true;
                      });
}

std::string DeleteBetween(const RenameJob& job, int slot, const std::string& sourcePath,
                          NameContext& ctx) {
  return RunOperation(
      15, job, slot, sourcePath, ctx, [](const OperationInput& in, std::string& out, Error&) {
        const std::string_view first = in.source;
        const std::string_view second = in.destination;
        if (!FindTextHit(in.name, first) || !FindTextHit(in.name, second)) {
          return false;
        }
        const TextHit a = FindTextNoCaseHit(in.name, first);
        const TextHit b = FindTextNoCaseHit(in.name, second);
        const std::size_t e = a.position + CharLength(first);
        if (b.position <= e) return false;
        out.append(in.name.substr(0, a.offset + first.size())).append(in.name.substr(b.offset));
        return true;
      });
}

}  // namespace velmora
