// The audio of a FLAC, Ogg or MP4 file as one checksum, taken from the
// audio data itself rather than from raw bytes: a tag write moves Ogg page
// headers and MP4 chunk offsets legitimately, but must leave this checksum
// as it was. Taking it also checks the file's structure.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/error_reporter.h"
#include "tags/audio_format.h"

namespace velmora {

// Reads size bytes at offset of the file being checked.
using ReadBytes = std::function<Error(long long offset, char* data, std::size_t size)>;

// Where the FLAC stream of a file of size bytes lies: after an ID3v2 tag at
// its start, before an ID3v1 record at its end. Those tags are not the
// Vorbis comment's business and stay as they are.
void FlacStream(const ReadBytes& read, long long size, long long& start, long long& length);

// The checksum of the audio of a file of size bytes in format, read through
// read. FLAC (a stream as FlacStream finds it): from the first frame on. Ogg: every packet but the
// comment packet of a Vorbis or Opus stream, and the granule position and end flag of every audio
// page. MP4: the payload of every mdat box, and where each chunk offset points into them. A
// structure that does not hold together (a page whose checksum fails, a box running past the end,
// no moov) is kInvalidFileFormat.
Error AudioChecksum(AudioFormat format, const ReadBytes& read, long long size,
                    std::uint64_t& checksum);

}  // namespace velmora
