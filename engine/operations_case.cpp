// Operations 13, 14, 16 and 17: capitals, mirror, all capitals, all small.
// The case operations touch A-Z only, and 16 and 17 also Ä, Ö, Ü (in UTF-8
// C3 84/96/9C against C3 A4/B6/BC), so they work byte by byte.
#include "engine/error_numbers.h"
#include "engine/operation_frame.h"
#include "engine/operations.h"
#include "engine/text.h"

namespace velmora {
namespace {

inline bool IsSmallAscii(char c) { return c >= 'a' && c <= 'z'; }
inline bool IsCapitalAscii(char c) { return c >= 'A' && c <= 'Z'; }

inline bool IsSmallUmlautTail(unsigned char c) { return c == 0xA4 || c == 0xB6 || c == 0xBC; }
inline bool IsCapitalUmlautTail(unsigned char c) { return c == 0x84 || c == 0x96 || c == 0x9C; }

// Appends name with a-z and ä, ö, ü made capital (toCapital) or A-Z and Ä, Ö,
// Ü made small. Both cases sit 32 apart in ASCII and in the umlauts' second
// byte.
void AppendChangedCase(std::string_view name, bool toCapital, std::string& out) {
  const std::size_t start = out.size();
  out.append(name);
  char* text = out.data() + start;
  const std::size_t size = name.size();
  const int shift = toCapital ? -32 : 32;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = text[i];
    if (toCapital ? IsSmallAscii(c) : IsCapitalAscii(c)) {
      text[i] = static_cast<char>(c + shift);
    } else if (static_cast<unsigned char>(c) == 0xC3 && i + 1 < size) {
      const auto tail = static_cast<unsigned char>(text[i + 1]);
      if (toCapital ? IsSmallUmlautTail(tail) : IsCapitalUmlautTail(tail)) {
        ++i;
        text[i] = static_cast<char>(tail + shift);
      }
    }
  }
}

}  // namespace

std::string CapitalizeWords(const RenameJob& job, int slot, const std::string& sourcePath,
                            NameContext& ctx) {
  return RunOperation(13, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        const std::size_t start = out.size();
                        out.append(in.name);
                        if (in.name.empty()) return true;
                        char* name = out.data() + start;
                        const std::size_t size = in.name.size();
                        if (IsSmallAscii(name[0])) name[0] = static_cast<char>(name[0] - 32);
                        // Only blanks behind the first character count: a leading blank
                        // does not capitalise the second character.
                        for (std::size_t i = CharByteLength(in.name, 0); i + 1 < size; ++i) {
                          if (name[i] == ' ' && IsSmallAscii(name[i + 1])) {
                            name[i + 1] = static_cast<char>(name[i + 1] - 32);
                          }
                        }
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
                        AppendChangedCase(in.name, /*toCapital=*/true, out);
                        return true;
                      });
}

std::string ToLowerCase(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx) {
  return RunOperation(17, job, slot, sourcePath, ctx,
                      [](const OperationInput& in, std::string& out, Error&) {
                        AppendChangedCase(in.name, /*toCapital=*/false, out);
                        return true;
                      });
}

}  // namespace velmora
