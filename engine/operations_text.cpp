// Operations 1 to 4: replace text and insert text after, before or at.
#include <cstdint>
#include <cstring>

#include "engine/operation_frame.h"
#include "engine/operations.h"
#include "engine/text.h"

namespace velmora {
namespace {

// True when every byte of text is ASCII, eight bytes at a time.
bool IsAscii(std::string_view text) {
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  const char* p = text.data();
  const std::size_t size = text.size();
  std::uint64_t bits = 0;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, p + i, 8);
    bits |= word;
  }
  for (; i < size; ++i) bits |= static_cast<unsigned char>(p[i]);
  return (bits & kHigh) == 0;
}

// AppendReplaced for a name of ASCII only: every byte starts a character,
// so a byte match is a match of characters and needs no boundary check.
// Most names are such, and a rename of many files does this for each.
std::size_t AppendReplacedAscii(std::string& out, std::string_view name, std::string_view from,
                                std::string_view to) {
  std::size_t count = 0;
  std::size_t kept = 0;  // the first byte not yet appended
  const char first = from.front();
  for (std::size_t i = 0; i + from.size() <= name.size();) {
    if (name[i] == first && std::memcmp(name.data() + i, from.data(), from.size()) == 0) {
      out.append(name.data() + kept, i - kept).append(to);
      i += from.size();
      kept = i;
      ++count;
    } else {
      ++i;
    }
  }
  out.append(name.data() + kept, name.size() - kept);
  return count;
}

}  // namespace

std::string ReplaceText(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx) {
  return RunOperation(
      1, job, slot, sourcePath, ctx, [](const OperationInput& in, std::string& out, Error&) {
        // The name changes exactly when something was found and the
        // replacement differs: the first occurrence then reads otherwise.
        const std::size_t found = !in.source.empty() && IsAscii(in.name)
                                      ? AppendReplacedAscii(out, in.name, in.source, in.destination)
                                      : AppendReplaced(out, in.name, in.source, in.destination);
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
