#include "tags/audio_format.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace velmora {

std::optional<AudioFormat> AudioFormatOfName(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string_view extension = path.substr(dot + 1);
  // Asked several times per file of a tag run: no copy, ASCII case only.
  const auto is = [extension](std::string_view name) {
    return extension.size() == name.size() &&
           std::equal(name.begin(), name.end(), extension.begin(), [](char a, char b) {
             return a == ((b >= 'A' && b <= 'Z') ? static_cast<char>(b | 0x20) : b);
           });
  };
  if (is("mp3")) return AudioFormat::kMp3;
  if (is("flac")) return AudioFormat::kFlac;
  if (is("ogg")) return AudioFormat::kOggVorbis;
  if (is("opus")) return AudioFormat::kOpus;
  if (is("m4a")) return AudioFormat::kM4a;
  return std::nullopt;
}

bool HasOwnTagName(std::string_view path) {
  // Asked thrice per file of a tag run: a name ending in ".mp3" (lower
  // case, the common one) answers without the full look.
  if (path.size() >= 4 && path.substr(path.size() - 4) == ".mp3") return false;
  const std::optional<AudioFormat> format = AudioFormatOfName(path);
  return format && HasOwnTag(*format);
}

const char* AudioFormatName(AudioFormat format) {
  switch (format) {
    case AudioFormat::kFlac:
      return "FLAC";
    case AudioFormat::kOggVorbis:
      return "Ogg Vorbis";
    case AudioFormat::kOpus:
      return "Opus";
    case AudioFormat::kM4a:
      return "M4A";
    case AudioFormat::kMp3:
      break;
  }
  return "MP3";
}

}  // namespace velmora
