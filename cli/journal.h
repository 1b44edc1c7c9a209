// The journal: the undo records of the steps that command-line runs carried
// out, kept in a text file so that a later `velmora-cli undo --journal FILE`
// can take them back.
//
// Format (UTF-8 or any bytes, LF line ends): a first line
//   # velmora journal 1
// then one record a line, oldest first:
//   KIND <TAB> OLD <TAB> NEW
// KIND is the run kind digit ("1" rename, "2" move, "3" copy, "0" none), OLD
// the path before the step and NEW the path the step computed, empty when the
// operation did not apply. Inside OLD and NEW a backslash is written "\\", a
// tab "\t", a line feed "\n" and a carriage return "\r"; every other byte
// stands as it is. Lines that are empty or begin with "#" are comments.
// A run appends its records; undo rewrites the file with those that stay.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/undo_store.h"

namespace velmora::cli {

inline constexpr char kJournalHeader[] = "# velmora journal 1";

// text with backslash, tab, line feed and carriage return escaped.
std::string EscapeJournalText(std::string_view text);

// The journal line of record, without its line end.
std::string JournalLine(const UndoRecord& record);

// The record written by JournalLine; false for a line that is not one (wrong
// field count, kind or escape).
bool ParseJournalLine(std::string_view line, UndoRecord& record);

// Reads every record of the journal at path, oldest first. Fails with the
// platform's error when the file cannot be read, and with 321 ("Falsches
// Datei-Format", the line number in the description) on a malformed line.
Error ReadJournal(const std::string& path, std::vector<UndoRecord>& records);

// Appends records to the journal at path, creating it with its header line
// when missing. Fails with the platform's error; then nothing is appended.
Error AppendJournal(const std::string& path, const std::vector<UndoRecord>& records);

// Replaces the journal at path by one holding exactly records, through a
// temporary file beside it, so that a failure leaves the old journal whole.
Error RewriteJournal(const std::string& path, const std::vector<UndoRecord>& records);

}  // namespace velmora::cli
