#include "tags/genre.h"

namespace velmora {

// A data table, one genre a line: as long as the list.
// NOLINTBEGIN(readability-function-size)
const std::array<std::string, kGenreCount>& GenreNames() {
  static const std::array<std::string, kGenreCount> names = [] {
    std::array<std::string, kGenreCount> table = {"Blues",
                                                  "ClassicRock",
                                                  "Country",
                                                  "Dance",
                                                  "Disco",
                                                  "Funk",
                                                  "Grunge",
                                                  "HipHop",
                                                  "Jazz",
                                                  "Metal",
                                                  "NewAge",
                                                  "Oldies",
                                                  "Other",
                                                  "Pop",
                                                  "R_B",
                                                  "Rap",
                                                  "Reggae",
                                                  "Rock",
                                                  "Techno",
                                                  "Industrial",
                                                  "Alternative",
                                                  "Ska",
                                                  "DeathMetal",
                                                  "Pranks",
                                                  "Soundtrack",
                                                  "EuroTechno",
                                                  "Ambient",
                                                  "TripHop",
                                                  "Vocal",
                                                  "JazzFunk",
                                                  "Fusion",
                                                  "Trance",
                                                  "Classical",
                                                  "Instrumental",
                                                  "Acid",
                                                  "House",
                                                  "Game",
                                                  "SoundClip",
                                                  "Gospel",
                                                  "Noise",
                                                  "AltRock",
                                                  "Bass",
                                                  "Soul",
                                                  "Punk",
                                                  "Space",
                                                  "Meditative",
                                                  "InstrumentalPop",
                                                  "InstrumentalRock",
                                                  "Ethnic",
                                                  "Gothic",
                                                  "Darkwave",
                                                  "TechnoIndustrial",
                                                  "Electronic",
                                                  "PopFolk",
                                                  "Eurodance",
                                                  "Dream",
                                                  "SouthernRock",
                                                  "Comedy",
                                                  "Cult",
                                                  "Gangsta",
                                                  "Top40",
                                                  "ChristianRap",
                                                  "Pop_Funk",
                                                  "Jungle",
                                                  "NativeAmerican",
                                                  "Cabaret",
                                                  "NewWave",
                                                  "Psychadelic",
                                                  "Rave",
                                                  "Showtunes",
                                                  "Trailer",
                                                  "LoFi",
                                                  "Tribal",
                                                  "AcidPunk",
                                                  "AcidJazz",
                                                  "Polka",
                                                  "Retro",
                                                  "Musical",
                                                  "RockNRoll",
                                                  "HardRock",
                                                  "Folk",
                                                  "Folk_Rock",
                                                  "NationalFolk",
                                                  "Swing",
                                                  "Fusion1",
                                                  "Bebob",
                                                  "Latin",
                                                  "Revival",
                                                  "Celtic",
                                                  "Bluegrass",
                                                  "Avantgarde",
                                                  "GothicRock",
                                                  "ProgressiveRock",
                                                  "PsychedelicRock",
                                                  "SymphonicRock",
                                                  "SlowRock",
                                                  "BigBand",
                                                  "Chorus",
                                                  "EasyListening",
                                                  "Acoustic",
                                                  "Humour",
                                                  "Speech",
                                                  "Chanson",
                                                  "Opera",
                                                  "ChamberMusic",
                                                  "Sonata",
                                                  "Symphony",
                                                  "BootyBass",
                                                  "Primus",
                                                  "PornGroove",
                                                  "Satire",
                                                  "SlowJam",
                                                  "Club",
                                                  "Tango",
                                                  "Samba",
                                                  "Folklore"};
    for (int i = kNamedGenreCount; i < kGenreCount; ++i) table[i] = "Undefined";
    return table;
  }();
  return names;
}
// NOLINTEND(readability-function-size)

const std::string& GenreText(int genre) {
  static const std::string none;
  return genre == kGenreNone ? none : GenreNames()[static_cast<std::size_t>(genre)];
}

const std::string& GenreText(const TagRecord& record) {
  return GenreText(HasTagMarker(record.tag) ? record.genre : kGenreNone);
}

int GenreIndex(const std::string& name) {
  if (name.empty()) return kGenreNone;
  const auto& names = GenreNames();
  for (int i = 0; i < kNamedGenreCount; ++i) {
    if (names[i] == name) return i;
  }
  return kGenreOther;
}

}  // namespace velmora
