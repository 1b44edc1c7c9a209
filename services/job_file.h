// A saved job: a small INI file that holds what a rename, copy or move does,
// never the answers, the folders or the journal. The window and velmora-cli
// read and write the same files.
//
//   # Velmora job
//   [Job]
//   Version=1
//   Pattern=*.mp3
//   Subdirs=1
//   Order=natural            name, natural, modified or size
//   OrderReverse=0
//   NumberStep=1
//   RestartPerFolder=0
//   ResolveChains=1
//   [Slot1]                  Slot1 to Slot3; a slot left out is inactive
//   Operation=number-before  the command-line name of the operation
//   First=1
//   Second=.mp3
//
// A value is everything after the first "=", blanks included; a backslash,
// a line feed, a carriage return and a tab in it are written \\, \n, \r, \t.
// Lines starting with "#" or ";" are comments; unknown keys are skipped.
#pragma once

#include <array>
#include <string>

#include "engine/job.h"

namespace velmora {

inline constexpr int kJobFileVersion = 1;

struct SavedJob {
  std::string pattern = "*.*";
  bool subdirs = false;
  std::string order = "name";  // the order's command-line name
  bool orderReverse = false;
  std::array<int, kSlotCount> slotCode{};  // 0: the slot is inactive
  std::array<std::string, kSlotCount> first;
  std::array<std::string, kSlotCount> second;
  std::string numberStep = "1";
  bool restartPerFolder = false;
  bool resolveChains = true;
};

// Writes job to path; false with the reason (translated) in problem.
bool WriteJobFile(const std::string& path, const SavedJob& job, std::string& problem);

// Reads path into job: the [Job] keys the file has, and every slot (a slot
// it leaves out becomes inactive). False with the reason (translated) in
// problem, job then half read: the file cannot be read, has another version,
// or names an operation or an order that does not exist.
bool ReadJobFile(const std::string& path, SavedJob& job, std::string& problem);

}  // namespace velmora
