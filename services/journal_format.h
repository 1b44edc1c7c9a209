// How a journal record looks on disk: framed with a CRC-32C, fields split
// by tabs, identities and payload references as fields. Shared by the
// reader and the writers; see services/journal.h for the format itself.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "services/journal.h"

namespace velmora {

// CRC-32C (Castagnoli) of bytes, continuing from crc.
std::uint32_t Crc32c(std::string_view bytes, std::uint32_t crc = 0);

// record (fields without the checksum) with its checksum field and LF.
std::string FrameRecord(std::string_view record);
// value as eight lowercase hex digits at out.
void PutHex8(std::uint32_t value, char* out);
// Frames the record appended to out from start, in place.
void FrameFrom(std::string& out, std::size_t start);
// Frames the record from begin to end in place: its checksum field and LF
// go at end, which needs room for kFrameBytes more; returns their end. crc:
// the checksum (Crc32c) of the record's bytes before begin.
inline constexpr std::size_t kFrameBytes = 10;
char* FrameAt(char* begin, char* end, std::uint32_t crc = 0);

// Appends text as EscapeJournalText writes it.
void AppendEscaped(std::string& out, std::string_view text);
// True when text holds a byte EscapeJournalText escapes.
bool NeedsEscape(std::string_view text);
// Copies text to at as it is, escape set when it holds such a byte; returns
// the end of the copy.
char* PutUnescaped(char* at, std::string_view text, bool& escape);

// The record of line (without its LF) when its checksum field matches.
bool UnframeRecord(std::string_view line, std::string_view& record);

std::vector<std::string_view> JournalFields(std::string_view record);

// text with the escapes of EscapeJournalText undone; false on a bad escape.
bool UnescapeJournalText(std::string_view text, std::string& out);

// The six ID fields, "-" each when unknown; and the three payload fields.
std::string IdentityFields(const StepIdentity& id);
// The same as text of its own.
void FormatIdentityFields(IdentityText& out, const StepIdentity& id);
std::string PayloadFields(const JournalPayload& payload);
// The same appended to out, without a string of their own.
void AppendIdentityFields(std::string& out, const StepIdentity& id);
void AppendPayloadFields(std::string& out, const JournalPayload& payload);
// The payload fields written at at, at most kMaxPayloadFields bytes; returns
// their end.
inline constexpr std::size_t kMaxPayloadFields = 2 * 20 + 2 + 8;
char* PutPayloadFields(char* at, const JournalPayload& payload);
// Appends value in decimal.
void AppendNumber(std::string& out, long long value);

// The current UTC time as a record's TIME.
std::string JournalNow();
// The time given in seconds since the epoch as a record's TIME
// ("2024-05-01T12:30:05Z").
std::string JournalTime(std::time_t now);

// The kind digit of op.
char KindDigit(FileOp op);

// A path into or out of which a rename temporary (FileSystem::TemporaryName)
// moves a file.
bool IsRenameTemporary(const std::string& path);

}  // namespace velmora
