// The audio formats the tag editor writes: MP3 with its ID3 tags, and
// FLAC, Ogg Vorbis and Opus with their Vorbis comment and M4A with its MP4
// items, as a name's extension announces them.
#pragma once

#include <optional>
#include <string_view>

namespace velmora {

enum class AudioFormat { kMp3, kFlac, kOggVorbis, kOpus, kM4a };

// The format of a name ending in ".mp3", ".flac", ".ogg", ".opus" or
// ".m4a" in any case; nullopt for any other name. An ".ogg" name is taken
// for Vorbis until the file says otherwise.
std::optional<AudioFormat> AudioFormatOfName(std::string_view path);

// True for the formats that keep their own tag instead of ID3.
inline bool HasOwnTag(AudioFormat format) { return format != AudioFormat::kMp3; }

// True for a name of FLAC, Ogg, Opus or M4A: the tag editor writes its
// own tag instead of ID3.
bool HasOwnTagName(std::string_view path);

// "MP3", "FLAC", "Ogg Vorbis", "Opus", "M4A".
const char* AudioFormatName(AudioFormat format);

}  // namespace velmora
