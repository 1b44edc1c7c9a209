#include "engine/regex_replace.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <vector>

#include "engine/text.h"

namespace velmora {
namespace {

std::string PcreText(int code) {
  PCRE2_UCHAR buffer[256];
  const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
  return length < 0 ? std::string() : std::string(reinterpret_cast<char*>(buffer), length);
}

// One piece of the parsed replacement.
struct Piece {
  enum class Kind { kText, kGroup, kUpper, kLower, kUpperNext, kLowerNext, kEnd } kind;
  std::string text;
  std::uint32_t group = 0;
};

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class ReplacementParser {
 public:
  ReplacementParser(const pcre2_code* code, std::string_view text) : code_(code), text_(text) {
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups_);
  }

  // The pieces, or error set to a PCRE2 error code with at the item's offset.
  bool Parse(std::vector<Piece>& pieces) {
    while (i_ < text_.size()) {
      const char c = text_[i_];
      if (c != '$' && c != '\\') {
        Literal(pieces, text_.substr(i_, 1));
        ++i_;
        continue;
      }
      at_ = i_++;
      if (!(c == '$' ? Dollar(pieces) : Backslash(pieces))) return false;
    }
    return true;
  }

  int error = 0;
  [[nodiscard]] std::size_t ErrorOffset() const { return at_; }

 private:
  static void Literal(std::vector<Piece>& pieces, std::string_view text) {
    if (pieces.empty() || pieces.back().kind != Piece::Kind::kText) {
      pieces.push_back({Piece::Kind::kText, {}, 0});
    }
    pieces.back().text.append(text);
  }

  bool Fail(int code) {
    error = code;
    return false;
  }

  bool Group(std::vector<Piece>& pieces, std::string_view ref) {
    std::uint32_t number = 0;
    if (IsDigit(ref[0])) {
      for (const char d : ref) {
        if (!IsDigit(d)) return Fail(PCRE2_ERROR_BADREPLACEMENT);
        number = number * 10 + static_cast<std::uint32_t>(d - '0');
        if (number > groups_) return Fail(PCRE2_ERROR_NOSUBSTRING);
      }
    } else {
      const std::string name(ref);
      PCRE2_SPTR first = nullptr;
      PCRE2_SPTR last = nullptr;
      const int rc = pcre2_substring_nametable_scan(
          code_, reinterpret_cast<PCRE2_SPTR>(name.c_str()), &first, &last);
      if (rc < 0) return Fail(PCRE2_ERROR_NOSUBSTRING);
      // Duplicate names: the first group of that name.
      number = first == nullptr ? static_cast<std::uint32_t>(rc)
                                : static_cast<std::uint32_t>((first[0] << 8) | first[1]);
    }
    pieces.push_back({Piece::Kind::kGroup, {}, number});
    return true;
  }

  bool Dollar(std::vector<Piece>& pieces) {
    if (i_ >= text_.size()) return Fail(PCRE2_ERROR_BADREPLACEMENT);
    const char c = text_[i_];
    if (c == '$') {
      Literal(pieces, "$");
      ++i_;
      return true;
    }
    if (c == '{') {
      const std::size_t close = text_.find('}', i_);
      std::size_t end = i_ + 1;
      while (end < text_.size() && IsWordChar(text_[end])) ++end;
      if (close == std::string_view::npos || close != end) {
        return Fail(end == i_ + 1 ? PCRE2_ERROR_BADREPLACEMENT : PCRE2_ERROR_REPMISSINGBRACE);
      }
      if (end == i_ + 1) return Fail(PCRE2_ERROR_BADREPLACEMENT);
      const std::string_view ref = text_.substr(i_ + 1, end - i_ - 1);
      i_ = close + 1;
      return Group(pieces, ref);
    }
    std::size_t end = i_;
    if (IsDigit(c)) {
      while (end < text_.size() && IsDigit(text_[end])) ++end;
    } else {
      while (end < text_.size() && IsWordChar(text_[end])) ++end;
    }
    if (end == i_) return Fail(PCRE2_ERROR_BADREPLACEMENT);
    const std::string_view ref = text_.substr(i_, end - i_);
    i_ = end;
    return Group(pieces, ref);
  }

  bool Backslash(std::vector<Piece>& pieces) {
    if (i_ >= text_.size()) return Fail(PCRE2_ERROR_END_BACKSLASH);
    const char c = text_[i_++];
    switch (c) {
      case 'U':
        pieces.push_back({Piece::Kind::kUpper, {}, 0});
        return true;
      case 'L':
        pieces.push_back({Piece::Kind::kLower, {}, 0});
        return true;
      case 'u':
        pieces.push_back({Piece::Kind::kUpperNext, {}, 0});
        return true;
      case 'l':
        pieces.push_back({Piece::Kind::kLowerNext, {}, 0});
        return true;
      case 'E':
        pieces.push_back({Piece::Kind::kEnd, {}, 0});
        return true;
      default:
        break;
    }
    // A backslash quotes any other character but a letter or digit.
    if (IsWordChar(c) || static_cast<unsigned char>(c) >= 0x80) {
      if (static_cast<unsigned char>(c) < 0x80) return Fail(PCRE2_ERROR_BADREPESCAPE);
      const std::size_t length = CharByteLength(text_, i_ - 1);
      Literal(pieces, text_.substr(i_ - 1, length));
      i_ += length - 1;
      return true;
    }
    Literal(pieces, text_.substr(i_ - 1, 1));
    return true;
  }

  const pcre2_code* code_;
  std::string_view text_;
  std::uint32_t groups_ = 0;
  std::size_t i_ = 0;
  std::size_t at_ = 0;
};

std::size_t CharPosition(std::string_view text, std::size_t byteOffset) {
  return CharLength(text.substr(0, std::min(byteOffset, text.size()))) + 1;
}

}  // namespace

struct RegexReplacer::Impl {
  pcre2_code* code = nullptr;
  pcre2_match_context* context = nullptr;
  std::vector<Piece> pieces;

  ~Impl() {
    pcre2_match_context_free(context);
    pcre2_code_free(code);
  }
  void Expand(std::string_view subject, const PCRE2_SIZE* ovector, std::uint32_t pairs,
              std::string& out) const;
};

RegexReplacer::RegexReplacer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegexReplacer::~RegexReplacer() = default;

std::unique_ptr<RegexReplacer> RegexReplacer::Make(std::string_view pattern,
                                                   std::string_view replacement,
                                                   RegexProblem& problem) {
  auto impl = std::make_unique<Impl>();
  int code = 0;
  PCRE2_SIZE offset = 0;
  impl->code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                    PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF, &code, &offset, nullptr);
  if (impl->code == nullptr) {
    problem = {false, CharPosition(pattern, offset), PcreText(code)};
    return nullptr;
  }
  // Without JIT (not built for this machine) the interpreter matches alike.
  (void)pcre2_jit_compile(impl->code, PCRE2_JIT_COMPLETE);
  ReplacementParser parser(impl->code, replacement);
  if (!parser.Parse(impl->pieces)) {
    problem = {true, CharPosition(replacement, parser.ErrorOffset()), PcreText(parser.error)};
    return nullptr;
  }
  impl->context = pcre2_match_context_create(nullptr);
  pcre2_set_match_limit(impl->context, kMatchLimit);
  pcre2_set_depth_limit(impl->context, kDepthLimit);
  return std::unique_ptr<RegexReplacer>(new RegexReplacer(std::move(impl)));
}

void RegexReplacer::Impl::Expand(std::string_view subject, const PCRE2_SIZE* ovector,
                                 std::uint32_t pairs, std::string& out) const {
  int force = 0;  // \U or \L until \E
  int next = 0;   // \u or \l for the next character
  const auto put = [&](std::string_view text) {
    if (text.empty()) return;
    if (next != 0) {
      const std::size_t length = CharByteLength(text, 0);
      (next > 0 ? AppendUpperCase : AppendLowerCase)(text.substr(0, length), out);
      next = 0;
      text.remove_prefix(length);
    }
    if (force == 0) {
      out.append(text);
    } else {
      (force > 0 ? AppendUpperCase : AppendLowerCase)(text, out);
    }
  };
  for (const Piece& piece : pieces) {
    switch (piece.kind) {
      case Piece::Kind::kText:
        put(piece.text);
        break;
      case Piece::Kind::kGroup:
        if (piece.group < pairs && ovector[2 * std::size_t{piece.group}] != PCRE2_UNSET) {
          const PCRE2_SIZE* pair = ovector + 2 * std::size_t{piece.group};
          put(subject.substr(pair[0], pair[1] - pair[0]));
        }
        break;
      case Piece::Kind::kUpper:
        force = 1;
        break;
      case Piece::Kind::kLower:
        force = -1;
        break;
      case Piece::Kind::kUpperNext:
        next = 1;
        break;
      case Piece::Kind::kLowerNext:
        next = -1;
        break;
      case Piece::Kind::kEnd:
        force = 0;
        break;
    }
  }
}

RegexOutcome RegexReplacer::Replace(std::string_view name, std::string& out) const {
  const std::unique_ptr<pcre2_match_data, void (*)(pcre2_match_data*)> data(
      pcre2_match_data_create_from_pattern(impl_->code, nullptr), pcre2_match_data_free);
  const auto* subject = reinterpret_cast<PCRE2_SPTR>(name.data());
  std::string result;
  std::size_t copied = 0;  // name[0, copied) is in result
  PCRE2_SIZE start = 0;
  std::uint32_t options = 0;
  for (;;) {
    const int rc =
        pcre2_match(impl_->code, subject, name.size(), start, options, data.get(), impl_->context);
    if (rc == PCRE2_ERROR_NOMATCH) {
      // After an empty match: a non-empty one there, or one character on.
      if (options == 0 || start >= name.size()) break;
      start += CharByteLength(name, start);
      options = 0;
      continue;
    }
    if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
        rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT) {
      return RegexOutcome::kLimit;
    }
    if (rc < 0) return RegexOutcome::kUnchanged;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
    const std::size_t begin = std::max<std::size_t>(ovector[0], copied);
    result.append(name.substr(copied, begin - copied));
    impl_->Expand(name, ovector, pcre2_get_ovector_count(data.get()), result);
    copied = std::max<std::size_t>(ovector[1], copied);
    start = ovector[1];
    options = ovector[0] == ovector[1] ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
  }
  result.append(name.substr(copied));
  if (result == name) return RegexOutcome::kUnchanged;
  out.append(result);
  return RegexOutcome::kReplaced;
}

}  // namespace velmora
