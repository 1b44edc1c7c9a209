// Short real audio files made by the tools of the field (flac, oggenc,
// opusenc, ffmpeg), for the tests of the tag writers, and ways to look at
// them from outside: a missing tool gives the reason to skip.
#pragma once

#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>

#include "tests/support/shell_tools.h"
#include "tests/support/temp_folder.h"

namespace velmora::testing {

struct AudioKind {
  const char* extension;  // ".flac"
  const char* tool;       // the program that makes it
  const char* command;    // RAW and OUT stand for the raw input and the file
};

inline constexpr AudioKind kAudioKinds[] = {
    {".flac", "flac",
     "flac -s --force-raw-format --endian=little --sign=signed --channels=1 --bps=16 "
     "--sample-rate=44100 -o OUT RAW"},
    {".ogg", "oggenc", "oggenc -Q -r -B 16 -C 1 -R 44100 -o OUT RAW"},
    {".opus", "opusenc",
     "opusenc --quiet --raw --raw-bits 16 --raw-rate 44100 --raw-chan 1 RAW OUT"},
    // moov first, so that a longer tag moves the audio and its chunk offsets.
    {".m4a", "ffmpeg",
     "ffmpeg -v error -f s16le -ar 44100 -ac 1 -i RAW -c:a aac -movflags +faststart OUT"},
};

inline void PrintTo(const AudioKind& kind, std::ostream* out) { *out << kind.extension; }

inline std::string Quote(const std::string& path) { return "'" + path + "'"; }

inline bool HasTool(const std::string& tool) { return Shell("command -v " + tool); }

// Makes path (its kind by extension) from three seconds of a tone; empty,
// or why it could not.
inline std::string MakeAudioFile(const AudioKind& kind, const std::string& path) {
  if (!HasTool(kind.tool)) return std::string(kind.tool) + " is not installed";
  std::string raw;
  for (int i = 0; i < 3 * 44100; ++i) {
    const auto sample = static_cast<std::int16_t>(8000 * std::sin(i * 0.0627));
    raw += static_cast<char>(sample & 0xFF);
    raw += static_cast<char>((sample >> 8) & 0xFF);
  }
  WriteFile(path + ".raw", raw);
  ::unlink(path.c_str());  // the tools will not overwrite
  std::string command = kind.command;
  command.replace(command.find("OUT"), 3, Quote(path));
  command.replace(command.find("RAW"), 3, Quote(path + ".raw"));
  const bool made = Shell(command);
  ::unlink((path + ".raw").c_str());
  return made ? "" : std::string(kind.tool) + " failed: " + command;
}

// The MD5 of the decoded audio by ffmpeg, or empty without it.
inline std::string DecodedAudio(const std::string& path) {
  if (!HasTool("ffmpeg")) return "";
  return Output("ffmpeg -v error -i " + Quote(path) + " -map 0:a -f md5 -");
}

}  // namespace velmora::testing
