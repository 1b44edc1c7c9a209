// The ID and payload fields of records, written by hand: twice a step,
// where std::to_chars of long numbers and the copies of std::string counted.
#include <array>
#include <bit>
#include <charconv>
#include <cstring>

#include "services/journal_format.h"

namespace velmora {
namespace {

constexpr char kTab = '\t';

}  // namespace

std::string IdentityFields(const StepIdentity& id) {
  std::string text;
  AppendIdentityFields(text, id);
  return text;
}

std::string PayloadFields(const JournalPayload& payload) {
  std::string text;
  AppendPayloadFields(text, payload);
  return text;
}

char* SeqText::Put(char* at, long seq) {
  if (seq == value + 1 && value >= 0) {
    std::size_t i = size;
    while (i > 0 && text[i - 1] == '9') text[--i] = '0';
    if (i > 0) {
      ++text[i - 1];
    } else {
      std::memmove(text + 1, text, size++);
      text[0] = '1';
    }
  } else {
    size = static_cast<std::size_t>(std::to_chars(text, text + sizeof text, seq).ptr - text);
  }
  value = seq;
  std::memcpy(at, text, 20);
  return at + size;
}

void AppendNumber(std::string& out, long long value) {
  char digits[24];  // any 64-bit number fits
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

namespace {

// "00" to "99".
constexpr std::array<char, 200> kPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// value (below 10^8) as eight decimal digits, zeros in front, at at: the
// digits worked out in the lanes of one word, four, then two, then one
// per lane.
std::uint64_t EightDigits(std::uint32_t value) {
  std::uint64_t x = value / 10000 | static_cast<std::uint64_t>(value % 10000) << 32;
  std::uint64_t high = ((x * 10486) >> 20) & 0x0000007F0000007Full;  // each lane / 100
  x = high | (x - high * 100) << 16;
  high = ((x * 103) >> 10) & 0x000F000F000F000Full;  // each lane / 10
  return (high | (x - high * 10) << 8) + 0x3030303030303030ull;
}

void PutEightDigits(char* at, std::uint32_t value) {
  if constexpr (std::endian::native != std::endian::little) {
    for (int i = 7; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
    return;
  }
  const std::uint64_t x = EightDigits(value);
  std::memcpy(at, &x, sizeof x);
}

// value in decimal at at, which needs room for 20 bytes; returns its end.
// Below 10^8 (most sizes, offsets and lengths) without a loop: eight digits,
// the zeros in front shifted out.
char* PutDecimal(char* at, std::uint64_t value) {
  if (std::endian::native != std::endian::little || value >= 100000000) {
    return std::to_chars(at, at + 20, value).ptr;
  }
  std::uint64_t x = EightDigits(static_cast<std::uint32_t>(value));
  const std::uint64_t digits = x - 0x3030303030303030ull;
  const int zeros = digits == 0 ? 7 : __builtin_ctzll(digits) / 8;
  x >>= 8 * zeros;
  std::memcpy(at, &x, sizeof x);
  return at + 8 - zeros;
}

// The low kDigits digits of value in decimal, zeros in front, at at.
template <int kDigits>
void PutDigits(char* at, std::uint64_t value) {
  if constexpr (kDigits == 9) {
    at[0] = static_cast<char>('0' + value / 100000000);
    PutEightDigits(at + 1, static_cast<std::uint32_t>(value % 100000000));
  } else {
    for (int i = kDigits; i >= 2; i -= 2, value /= 100) {
      std::memcpy(at + i - 2, &kPairs[2 * (value % 100)], 2);
    }
    if constexpr (kDigits % 2 == 1) at[0] = static_cast<char>('0' + value % 10);
  }
}

constexpr std::uint64_t PowerOfTen(int n) { return n == 0 ? 1 : 10 * PowerOfTen(n - 1); }

// The text of a number whose digits above the low kLow mostly repeat from
// one file to the next: the files of a run mostly share their device and
// file system, files made together the seconds of their modification time,
// and files of one folder the upper digits of their inode numbers. Those
// digits are worked out when they change; each Put writes kDigits bytes
// whatever the number's length, so at needs that much room.
template <int kLow>
struct NumberText {
  static constexpr std::size_t kRoom = 20;  // any 64-bit number fits
  std::uint64_t high = 0;
  std::size_t size = 0;
  char text[kRoom] = {};

  char* Put(char* at, std::uint64_t number) {
    constexpr std::uint64_t kScale = PowerOfTen(kLow);
    const std::uint64_t upper = number / kScale;
    if (kLow > 0 && upper == 0) return PutDecimal(at, number);
    if (size == 0 || high != upper) {
      high = upper;
      size = static_cast<std::size_t>(PutDecimal(text, upper) - text);
    }
    std::memcpy(at, text, kRoom);
    at += size;
    if constexpr (kLow > 0) {
      PutDigits<kLow>(at, number % kScale);
      at += kLow;
    }
    return at;
  }
};

}  // namespace

void FormatIdentityFields(IdentityText& out, const StepIdentity& id) {
  if (!id.known) {
    constexpr std::string_view kUnknown = "-\t-\t-\t-\t-\t-";
    out.size = kUnknown.copy(out.text, kUnknown.size());
    return;
  }
  // Twice a step: formatted on the stack, no field starts past byte 84 and
  // a Put writes 20 bytes, so all fits the 112 of IdentityText.
  static_assert(sizeof out.text >= std::size_t{4} * 21 + NumberText<0>::kRoom + 2);
  thread_local NumberText<0> size, device, fsid;
  thread_local NumberText<9> modified;
  thread_local NumberText<4> inode;
  char* at = out.text;
  if (id.size >= 0) {
    at = size.Put(at, static_cast<std::uint64_t>(id.size));
  } else {
    at = std::to_chars(at, at + 20, id.size).ptr;
  }
  *at++ = kTab;
  if (id.mtimeNs >= 0) {
    at = modified.Put(at, static_cast<std::uint64_t>(id.mtimeNs));
  } else {
    at = std::to_chars(at, at + 20, id.mtimeNs).ptr;
  }
  *at++ = kTab;
  at = device.Put(at, id.device);
  *at++ = kTab;
  at = inode.Put(at, id.inode);
  *at++ = kTab;
  at = fsid.Put(at, id.fsid);
  *at++ = kTab;
  *at++ = id.inodeStable ? '1' : '0';
  out.size = static_cast<std::size_t>(at - out.text);
}

void AppendIdentityFields(std::string& out, const StepIdentity& id) {
  IdentityText text;
  FormatIdentityFields(text, id);
  out.append(text.text, text.size);
}

char* PutPayloadFields(char* at, const JournalPayload& payload) {
  if (!payload.present) {
    constexpr std::string_view kNone = "-\t-\t-";
    return at + kNone.copy(at, kNone.size());
  }
  const auto put = [](char* to, std::int64_t number) {
    return number >= 0 ? PutDecimal(to, static_cast<std::uint64_t>(number))
                       : std::to_chars(to, to + 20, number).ptr;
  };
  at = put(at, payload.offset);
  *at++ = kTab;
  at = put(at, payload.length);
  *at++ = kTab;
  PutHex8(payload.crc, at);
  return at + 8;
}

void AppendPayloadFields(std::string& out, const JournalPayload& payload) {
  char text[kMaxPayloadFields];
  out.append(text, PutPayloadFields(text, payload));
}

}  // namespace velmora
