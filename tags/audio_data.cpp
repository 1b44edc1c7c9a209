#include "tags/audio_data.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "engine/error_numbers.h"
#include "tags/region_replace.h"

namespace velmora {
namespace {

constexpr long long kChunk = 1 << 20;

Error Damaged(const char* what) {
  return {kInvalidFileFormat, std::string("damaged file structure: ") + what};
}

std::uint64_t BigEndian(const char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

std::uint32_t LittleEndian32(const char* bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

// Adds [start, end) of the file in pieces of at most kChunk bytes.
Error AddStretch(const ReadBytes& read, long long start, long long end, EditedChecksum& sum) {
  std::string buffer;
  for (long long at = start; at < end; at += kChunk) {
    buffer.resize(static_cast<std::size_t>(std::min(kChunk, end - at)));
    if (Error error = read(at, buffer.data(), buffer.size())) return error;
    sum.Add(at - start, buffer);
  }
  return {};
}

// The stream starts with its marker: the ID3 tags around it are cut off by
// FlacStream.
Error FlacChecksum(const ReadBytes& read, long long size, EditedChecksum& sum) {
  char head[4] = {};
  if (size < 4 || read(0, head, 4) || std::string_view(head, 4) != "fLaC") {
    return Damaged("no FLAC marker");
  }
  long long at = 4;
  for (bool last = false; !last;) {
    if (at + 4 > size || read(at, head, 4)) return Damaged("FLAC metadata past the end");
    last = (head[0] & 0x80) != 0;
    at += 4 + static_cast<long long>(BigEndian(head + 1, 3));
    if (at > size) return Damaged("FLAC metadata past the end");
  }
  if (at + 2 <= size) {
    if (Error error = read(at, head, 2)) return error;
    if (static_cast<unsigned char>(head[0]) != 0xFF ||
        (static_cast<unsigned char>(head[1]) & 0xFE) != 0xF8) {
      return Damaged("no FLAC frame after the metadata");
    }
  }
  return AddStretch(read, at, size, sum);
}

std::uint32_t OggCrc(const std::string& page) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000U) ? (r << 1) ^ 0x04C11DB7U : r << 1;
      t[i] = r;
    }
    return t;
  }();
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < page.size(); ++i) {
    const unsigned char byte = i >= 22 && i < 26 ? 0 : static_cast<unsigned char>(page[i]);
    crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF];
  }
  return crc;
}

// One logical stream: its packets so far and the one being assembled.
struct OggStream {
  long long packets = 0;
  int headers = -1;  // packets before the audio; known after the first
  std::string partial;
};

void OggPacketDone(std::uint32_t serial, OggStream& stream, EditedChecksum& sum) {
  if (stream.packets == 0) {
    const std::string& p = stream.partial;
    stream.headers = p.starts_with("\x01vorbis") ? 3 : p.starts_with("OpusHead") ? 2 : 0;
  }
  // Only the comment packet of Vorbis and Opus is the tag's.
  if (stream.headers == 0 || stream.packets != 1) sum.Add(serial, stream.partial);
  ++stream.packets;
  stream.partial.clear();
}

// Reads the page at at into page; its length, or a failure.
Error ReadOggPage(const ReadBytes& read, long long size, long long at, std::string& page) {
  char head[27];
  if (at + 27 > size || read(at, head, 27) || std::string_view(head, 4) != "OggS" || head[4] != 0) {
    return Damaged("no Ogg page where one must be");
  }
  const int segments = static_cast<unsigned char>(head[26]);
  page.assign(head, 27);
  page.resize(27 + static_cast<std::size_t>(segments));
  if (at + static_cast<long long>(page.size()) > size ||
      read(at + 27, page.data() + 27, segments)) {
    return Damaged("Ogg page past the end");
  }
  std::size_t body = 0;
  for (int i = 0; i < segments; ++i) body += static_cast<unsigned char>(page[27 + i]);
  const std::size_t headLength = page.size();
  page.resize(headLength + body);
  if (at + static_cast<long long>(page.size()) > size ||
      read(at + static_cast<long long>(headLength), page.data() + headLength, body)) {
    return Damaged("Ogg page past the end");
  }
  if (OggCrc(page) != LittleEndian32(page.data() + 22)) return Damaged("Ogg page checksum");
  return {};
}

Error OggChecksum(const ReadBytes& read, long long size, EditedChecksum& sum) {
  std::map<std::uint32_t, OggStream> streams;
  std::string page;
  if (size == 0) return Damaged("no Ogg page");
  for (long long at = 0; at < size; at += static_cast<long long>(page.size())) {
    if (Error error = ReadOggPage(read, size, at, page)) return error;
    const std::uint32_t serial = LittleEndian32(page.data() + 14);
    OggStream& stream = streams[serial];
    if (stream.headers >= 0 && stream.packets >= stream.headers) {
      // Granule position and end-of-stream flag of an audio page.
      sum.Add(serial, page.substr(6, 8) + static_cast<char>(page[5] & 0x04));
    }
    const int segments = static_cast<unsigned char>(page[26]);
    std::size_t offset = 27 + static_cast<std::size_t>(segments);
    for (int i = 0; i < segments; ++i) {
      const std::size_t lace = static_cast<unsigned char>(page[27 + i]);
      stream.partial.append(page, offset, lace);
      offset += lace;
      if (lace < 255) OggPacketDone(serial, stream, sum);
    }
  }
  return {};
}

struct Box {
  long long start, payload, end;
  std::string type;
};

// The boxes in [start, end), which they must fill exactly.
Error ReadBoxes(const ReadBytes& read, long long start, long long end, std::vector<Box>& boxes) {
  char head[16];
  for (long long at = start; at < end;) {
    if (at + 8 > end || read(at, head, 8)) return Damaged("MP4 box past the end");
    long long length = static_cast<long long>(BigEndian(head, 4)), header = 8;
    if (length == 1) {
      if (at + 16 > end || read(at + 8, head + 8, 8)) return Damaged("MP4 box past the end");
      length = static_cast<long long>(BigEndian(head + 8, 8));
      header = 16;
    } else if (length == 0) {
      length = end - at;
    }
    if (length < header || length > end - at) return Damaged("MP4 box past the end");
    boxes.push_back({at, at + header, at + length, std::string(head + 4, 4)});
    at += length;
  }
  return {};
}

// Where each chunk offset of the stbl box points: which mdat, how far in.
Error AddChunkOffsets(const ReadBytes& read, const Box& table, const std::vector<Box>& mdats,
                      EditedChecksum& sum) {
  std::string bytes(static_cast<std::size_t>(table.end - table.payload), '\0');
  if (Error error = read(table.payload, bytes.data(), bytes.size())) return error;
  const int width = table.type == "co64" ? 8 : 4;
  if (bytes.size() < 8) return Damaged("MP4 chunk offsets");
  const std::uint64_t count = BigEndian(bytes.data() + 4, 4);
  if (count > (bytes.size() - 8) / width) return Damaged("MP4 chunk offsets");
  for (std::uint64_t i = 0; i < count; ++i) {
    const long long offset = static_cast<long long>(BigEndian(bytes.data() + 8 + i * width, width));
    long long where = -1, index = 0;
    for (const Box& mdat : mdats) {
      if (offset >= mdat.payload && offset < mdat.end) {
        where = index * (1LL << 48) + offset - mdat.payload;
      }
      ++index;
    }
    sum.Add(where, table.type);
  }
  return {};
}

Error AddTracks(const ReadBytes& read, const Box& parent, const std::vector<Box>& mdats,
                EditedChecksum& sum) {
  std::vector<Box> children;
  if (Error error = ReadBoxes(read, parent.payload, parent.end, children)) return error;
  for (const Box& box : children) {
    if (box.type == "trak" || box.type == "mdia" || box.type == "minf" || box.type == "stbl") {
      if (Error error = AddTracks(read, box, mdats, sum)) return error;
    } else if (box.type == "stco" || box.type == "co64") {
      if (Error error = AddChunkOffsets(read, box, mdats, sum)) return error;
    }
  }
  return {};
}

Error Mp4Checksum(const ReadBytes& read, long long size, EditedChecksum& sum) {
  std::vector<Box> boxes, mdats;
  if (Error error = ReadBoxes(read, 0, size, boxes)) return error;
  const Box* moov = nullptr;
  for (const Box& box : boxes) {
    if (box.type == "mdat") mdats.push_back(box);
    if (box.type == "moov") moov = &box;
  }
  if (moov == nullptr) return Damaged("no MP4 moov box");
  for (const Box& mdat : mdats) {
    if (Error error = AddStretch(read, mdat.payload, mdat.end, sum)) return error;
  }
  return AddTracks(read, *moov, mdats, sum);
}

}  // namespace

void FlacStream(const ReadBytes& read, long long size, long long& start, long long& length) {
  char head[10] = {};
  start = 0;
  if (size >= 10 && !read(0, head, 10) && std::string_view(head, 3) == "ID3") {
    const auto byte = [&](int i) { return static_cast<long long>(head[i] & 0x7F); };
    start = 10 + (byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9));
    if ((head[5] & 0x10) != 0) start += 10;
  }
  start = std::min(start, size);
  length = size - start;
  if (length >= 128 + 4 && !read(size - 128, head, 3) && std::string_view(head, 3) == "TAG") {
    length -= 128;
  }
}

Error AudioChecksum(AudioFormat format, const ReadBytes& read, long long size,
                    std::uint64_t& checksum) {
  EditedChecksum sum(0);
  Error error;
  switch (format) {
    case AudioFormat::kFlac:
      error = FlacChecksum(read, size, sum);
      break;
    case AudioFormat::kOggVorbis:
    case AudioFormat::kOpus:
      error = OggChecksum(read, size, sum);
      break;
    case AudioFormat::kM4a:
      error = Mp4Checksum(read, size, sum);
      break;
    case AudioFormat::kMp3:
      error = AddStretch(read, 0, size, sum);
      break;
  }
  checksum = sum.value();
  return error;
}

}  // namespace velmora
