#include "services/journal_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <ctime>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace velmora {
namespace {

constexpr char kTab = '\t';

using CrcTable = std::array<std::array<std::uint32_t, 256>, 4>;

// Slicing by four: four table look-ups per four bytes.
CrcTable MakeTable() {
  CrcTable table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t crc = i;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0x82F63B78u & (0u - (crc & 1u)));
    table[0][i] = crc;
  }
  for (std::uint32_t i = 0; i < 256; ++i) {
    for (std::size_t k = 1; k < 4; ++k) {
      table[k][i] = (table[k - 1][i] >> 8) ^ table[0][table[k - 1][i] & 0xFF];
    }
  }
  return table;
}

std::uint32_t Crc32cTable(const unsigned char* p, std::size_t n, std::uint32_t crc) {
  static const CrcTable table = MakeTable();
  for (; n >= 4; n -= 4, p += 4) {
    crc ^= static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    crc = table[3][crc & 0xFF] ^ table[2][(crc >> 8) & 0xFF] ^ table[1][(crc >> 16) & 0xFF] ^
          table[0][crc >> 24];
  }
  while (n-- > 0) crc = (crc >> 8) ^ table[0][(crc ^ *p++) & 0xFF];
  return crc;
}

#if defined(__x86_64__)
// One look at the processor when a record is first framed: the compiler's
// own check would link a constructor that questions the processor at every
// start of the program, a costly trap in a virtual machine.
bool HasSse42() {
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (ecx & bit_SSE4_2) != 0;
}

// The processor's own CRC-32C instruction: every record of a run is framed.
__attribute__((target("sse4.2"), always_inline)) inline std::uint32_t Crc32cSse(
    const unsigned char* p, std::size_t n, std::uint32_t crc) {
  std::uint64_t wide = crc;
  // Four words a turn: records are a few hundred bytes, the loop's own
  // steps counted as much as the checksum's.
  for (; n >= 32; n -= 32, p += 32) {
    std::uint64_t words[4];
    std::memcpy(words, p, sizeof words);
    wide = __builtin_ia32_crc32di(wide, words[0]);
    wide = __builtin_ia32_crc32di(wide, words[1]);
    wide = __builtin_ia32_crc32di(wide, words[2]);
    wide = __builtin_ia32_crc32di(wide, words[3]);
  }
  for (; n >= 8; n -= 8, p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    wide = __builtin_ia32_crc32di(wide, word);
  }
  crc = static_cast<std::uint32_t>(wide);
  if (n >= 4) {
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    crc = __builtin_ia32_crc32si(crc, word);
    p += 4;
    n -= 4;
  }
  if (n >= 2) {
    std::uint16_t half;
    std::memcpy(&half, p, sizeof half);
    crc = __builtin_ia32_crc32hi(crc, half);
    p += 2;
    n -= 2;
  }
  if (n > 0) crc = __builtin_ia32_crc32qi(crc, *p);
  return crc;
}
#endif

#ifdef __SSE2__
// The bytes of sixteen that EscapeJournalText escapes, as set bytes.
__m128i EscapedBytes(__m128i bytes) {
  return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')),
                                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t'))),
                      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')),
                                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))));
}
#endif

char* PutFrame(char* end, std::uint32_t crc) {
  *end = kTab;
  PutHex8(crc, end + 1);
  end[9] = '\n';
  return end + kFrameBytes;
}

#if defined(__x86_64__)
__attribute__((target("sse4.2"))) std::uint32_t Crc32cSseCall(const unsigned char* p, std::size_t n,
                                                              std::uint32_t crc) {
  return Crc32cSse(p, n, crc);
}

// The checksum and the framing in one: no call per record into Crc32c.
__attribute__((target("sse4.2"))) char* FrameSse(char* begin, char* end, std::uint32_t crc) {
  const auto* p = reinterpret_cast<const unsigned char*>(begin);
  return PutFrame(end, ~Crc32cSse(p, static_cast<std::size_t>(end - begin), ~crc));
}
#endif

}  // namespace

void PutHex8(std::uint32_t value, char* out) {
  // Every record ends with one: each nibble spread to a byte of its own,
  // highest first, and all eight made digits at once.
  std::uint64_t x = value;
  x = (x | x << 16) & 0x0000FFFF0000FFFFull;
  x = (x | x << 8) & 0x00FF00FF00FF00FFull;
  x = (x | x << 4) & 0x0F0F0F0F0F0F0F0Full;
  x = __builtin_bswap64(x);
  const std::uint64_t letters = ((x + 0x0606060606060606ull) >> 4) & 0x0101010101010101ull;
  x += 0x3030303030303030ull + letters * ('a' - '0' - 10);
  std::memcpy(out, &x, sizeof x);
}

char* FrameAt(char* begin, char* end, std::uint32_t crc) {
#if defined(__x86_64__)
  static const bool sse = HasSse42();
  if (sse) return FrameSse(begin, end, crc);
#endif
  return PutFrame(end, Crc32c(std::string_view(begin, static_cast<std::size_t>(end - begin)), crc));
}

std::uint32_t Crc32c(std::string_view bytes, std::uint32_t crc) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
#if defined(__x86_64__)
  static const bool sse = HasSse42();
  if (sse) return ~Crc32cSseCall(p, bytes.size(), ~crc);
#endif
  return ~Crc32cTable(p, bytes.size(), ~crc);
}

void FrameFrom(std::string& out, std::size_t start) {
  const std::size_t end = out.size();
  out.resize(end + kFrameBytes);
  FrameAt(out.data() + start, out.data() + end);
}

bool NeedsEscape(std::string_view text) {
  // Asked of every path twice a step: sixteen bytes at a time where SSE2
  // is, the last sixteen overlapping the ones before.
  std::size_t i = 0;
#ifdef __SSE2__
  const auto hit = [&text](std::size_t at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    return _mm_movemask_epi8(EscapedBytes(bytes)) != 0;
  };
  if (text.size() >= 16) {
    for (; i + 16 <= text.size(); i += 16) {
      if (hit(i)) return true;
    }
    return i < text.size() && hit(text.size() - 16);
  }
#endif
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' || c == '\t' || c == '\n' || c == '\r') return true;
  }
  return false;
}

char* PutUnescaped(char* at, std::string_view text, bool& escape) {
#ifdef __SSE2__
  // The copy and the look in one pass over the path. The look is coarse, a
  // backslash or any byte up to carriage return, and told exactly only when
  // it finds one.
  const std::size_t n = text.size();
  if (n >= 16) {
    const char* from = text.data();
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i control = _mm_set1_epi8('\r');
    __m128i any = _mm_setzero_si128();
    const auto move = [&](std::size_t i) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(at + i), bytes);
      any = _mm_or_si128(any, _mm_cmpeq_epi8(bytes, backslash));
      any = _mm_or_si128(any, _mm_cmpeq_epi8(_mm_min_epu8(bytes, control), bytes));
    };
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) move(i);
    if (i < n) move(n - 16);
    escape = _mm_movemask_epi8(any) != 0 && NeedsEscape(text);
    return at + n;
  }
#endif
  escape = NeedsEscape(text);
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

void AppendEscaped(std::string& out, std::string_view text) {
  if (NeedsEscape(text)) {
    out += EscapeJournalText(text);
  } else {
    out.append(text);
  }
}

std::string FrameRecord(std::string_view record) {
  std::string line;
  line.reserve(record.size() + 10);
  line.append(record);
  char crc[10] = {kTab};
  PutHex8(Crc32c(record), crc + 1);
  crc[9] = '\n';
  line.append(crc, sizeof crc);
  return line;
}

bool UnframeRecord(std::string_view line, std::string_view& record) {
  if (line.size() < 10 || line[line.size() - 9] != kTab) return false;
  std::uint32_t crc = 0;
  for (char c : line.substr(line.size() - 8)) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    crc = crc << 4 | static_cast<std::uint32_t>(digit);
  }
  record = line.substr(0, line.size() - 9);
  return Crc32c(record) == crc;
}

std::vector<std::string_view> JournalFields(std::string_view record) {
  std::vector<std::string_view> fields;
  for (std::size_t begin = 0;;) {
    const std::size_t cut = record.find(kTab, begin);
    fields.push_back(record.substr(begin, cut == std::string_view::npos ? cut : cut - begin));
    if (cut == std::string_view::npos) return fields;
    begin = cut + 1;
  }
}

std::string EscapeJournalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool UnescapeJournalText(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    const char c = text[i];
    if (c != '\\' && c != 't' && c != 'n' && c != 'r') return false;
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : '\\';
  }
  return true;
}

std::string JournalNow() { return JournalTime(std::time(nullptr)); }

std::string JournalTime(std::time_t now) {
  // Worked out by hand: gmtime and strftime would load the local time zone
  // first, a file read at every run for a time that is UTC anyway.
  const long long seconds = static_cast<long long>(now);
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // The civil date of a day count since 1970-01-01 (proleptic Gregorian).
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long shifted = (5 * dayOfYear + 2) / 153;
  const long long day = dayOfYear - (153 * shifted + 2) / 5 + 1;
  const long long month = shifted < 10 ? shifted + 3 : shifted - 9;
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[32];
  char* out = text;
  const auto put = [&out](long long value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
    out += digits;
  };
  if (year < 1000 || year > 9999) {
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
  }
  put(year, 4);
  *out++ = '-';
  put(month, 2);
  *out++ = '-';
  put(day, 2);
  *out++ = 'T';
  put(rest / 3600, 2);
  *out++ = ':';
  put(rest / 60 % 60, 2);
  *out++ = ':';
  put(rest % 60, 2);
  *out++ = 'Z';
  return std::string(text, out);
}

char KindDigit(FileOp op) {
  switch (op) {
    case FileOp::kRename:
      return '1';
    case FileOp::kMove:
      return '2';
    case FileOp::kCopy:
      return '3';
    case FileOp::kTag:
      return '4';
  }
  return '0';
}

bool IsRenameTemporary(const std::string& path) {
  return path.find(".velmora-move") != std::string::npos;
}

}  // namespace velmora
