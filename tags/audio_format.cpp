#include "tags/audio_format.h"

#include <cctype>
#include <string>

namespace velmora {

std::optional<AudioFormat> AudioFormatOfName(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "mp3") return AudioFormat::kMp3;
  if (extension == "flac") return AudioFormat::kFlac;
  if (extension == "ogg") return AudioFormat::kOggVorbis;
  if (extension == "opus") return AudioFormat::kOpus;
  if (extension == "m4a") return AudioFormat::kM4a;
  return std::nullopt;
}

bool HasOwnTagName(std::string_view path) {
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
