#include "tags/region_replace.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

constexpr long long kCopyChunk = 1 << 20;
constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

Error ChangedError() { return {kPathFileAccess, "the file changed while its tag was written"}; }

std::string_view NumberBytes(const long long& number) {
  return {reinterpret_cast<const char*>(&number), sizeof number};
}

long long Length(std::string_view bytes) { return static_cast<long long>(bytes.size()); }

// In place when every splice keeps its length but a last one that ends
// where the file ends.
bool InPlace(std::span<const Splice> splices, long long size) {
  for (std::size_t i = 0; i < splices.size(); ++i) {
    const Splice& s = splices[i];
    const bool tail = i + 1 == splices.size() && s.start + s.length == size;
    if (Length(s.bytes) != s.length && !tail) return false;
  }
  return true;
}

// Puts the old bytes of splices [0, count) back and the old length.
void PutBack(OpenFile& file, std::span<const Splice> splices, std::size_t count, long long size) {
  for (std::size_t i = 0; i < count; ++i) {
    (void)file.WriteAt(splices[i].start, splices[i].old.data(), splices[i].old.size());
  }
  (void)file.Truncate(size);
}

Error WriteInPlace(OpenFile& file, const FileStamp& stamp, std::span<const Splice> splices) {
  FileStamp now;
  if (file.Stamp(now) || now.identity != stamp.identity) return ChangedError();
  const long long size = stamp.identity.size;
  for (std::size_t i = 0; i < splices.size(); ++i) {
    const Splice& s = splices[i];
    Error error = file.WriteAt(s.start, s.bytes.data(), s.bytes.size());
    if (!error && Length(s.bytes) < s.length) error = file.Truncate(s.start + Length(s.bytes));
    if (error) {
      // Best effort: the old bytes back rather than half a tag.
      PutBack(file, splices, i + 1, size);
      return error;
    }
  }
  return {};
}

// Copies [offset, offset + length) of from to target in to, the holes left
// out: the new file's length is set at the end.
Error CopyKept(OpenFile& from, OpenFile& to, long long size, long long offset, long long length,
               long long target, std::vector<char>& buffer) {
  const long long end = offset + length, shift = target - offset;
  while (offset < end) {
    std::int64_t data = 0, hole = 0;
    if (Error error = from.NextData(offset, size, data, hole)) return error;
    if (data >= end) break;
    for (long long at = data, stop = std::min<long long>(hole, end); at < stop;) {
      const std::size_t n = static_cast<std::size_t>(std::min(stop - at, kCopyChunk));
      if (buffer.size() < n) buffer.resize(n);
      if (Error error = from.ReadAt(at, buffer.data(), n)) return error;
      if (Error error = to.WriteAt(at + shift, buffer.data(), n)) return error;
      at += static_cast<long long>(n);
    }
    offset = std::max<long long>(hole, offset + 1);
  }
  return {};
}

Error WriteSpliced(OpenFile& from, OpenFile& to, long long size, std::span<const Splice> splices) {
  std::vector<char> buffer;
  long long at = 0, target = 0;
  for (const Splice& s : splices) {
    if (Error error = CopyKept(from, to, size, at, s.start - at, target, buffer)) return error;
    target += s.start - at;
    if (Error error = to.WriteAt(target, s.bytes.data(), s.bytes.size())) return error;
    target += Length(s.bytes);
    at = s.start + s.length;
  }
  if (Error error = CopyKept(from, to, size, at, size - at, target, buffer)) return error;
  return to.Truncate(target + size - at);
}

Error Rewrite(FileSystem& disk, const std::string& path, std::unique_ptr<OpenFile>& file,
              const FileStamp& stamp, std::span<const Splice> splices) {
  if (stamp.links > 1) {
    return Error{kPathFileAccess,
                 "the file has more than one name (hard links) and the new tag does not fit "
                 "its room: left unchanged"};
  }
  std::string temp;
  Error error;
  std::unique_ptr<OpenFile> out = disk.CreateBeside(path, temp, error);
  if (!out) return error;
  // The attributes first: nobody the original keeps out may read the copy.
  error = out->KeepAttributes(*file, stamp);
  if (!error) error = WriteSpliced(*file, *out, stamp.identity.size, splices);
  // Writing may have cleared the set-user-ID and set-group-ID bits.
  if (!error && (stamp.mode & 06000) != 0) error = out->KeepAttributes(*file, stamp);
  if (!error) error = out->Sync();
  FileIdentity now;
  if (!error && (!disk.Identify(path, now) || now != stamp.identity)) error = ChangedError();
  if (!error) error = disk.ReplaceWith(temp, path);
  if (error) {
    (void)disk.Delete(temp);  // the original stays; the new copy must not
    return error;
  }
  file = std::move(out);
  return {};
}

}  // namespace

EditedChecksum::EditedChecksum(long long size) : value_(kFnvOffset) { Mix(NumberBytes(size)); }

void EditedChecksum::Add(long long offset, std::string_view bytes) {
  const long long length = Length(bytes);
  Mix(NumberBytes(offset));
  Mix(NumberBytes(length));
  Mix(bytes);
}

void EditedChecksum::Mix(std::string_view bytes) {
  // Eight bytes a round without the loop's test between them.
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  std::uint64_t value = value_;
  for (; n >= 8; n -= 8, p += 8) {
    value = (value ^ p[0]) * kFnvPrime;
    value = (value ^ p[1]) * kFnvPrime;
    value = (value ^ p[2]) * kFnvPrime;
    value = (value ^ p[3]) * kFnvPrime;
    value = (value ^ p[4]) * kFnvPrime;
    value = (value ^ p[5]) * kFnvPrime;
    value = (value ^ p[6]) * kFnvPrime;
    value = (value ^ p[7]) * kFnvPrime;
  }
  for (; n > 0; --n, ++p) value = (value ^ *p) * kFnvPrime;
  value_ = value;
}

std::uint64_t ChecksumOfWrite(const TagEdits& edits) {
  EditedChecksum sum(edits.newSize);
  for (const TagEdit& edit : edits.edits) sum.Add(edit.offset, edit.newBytes);
  return sum.value();
}

std::vector<Splice> WriteSplices(const TagEdits& edits) {
  std::vector<Splice> splices(edits.edits.size());
  WriteSplicesInto(edits, splices);
  return splices;
}

void WriteSplicesInto(const TagEdits& edits, std::span<Splice> splices) {
  long long shift = 0;  // how much the edits before moved this one
  for (std::size_t i = 0; i < edits.edits.size(); ++i) {
    const TagEdit& e = edits.edits[i];
    splices[i] = {e.offset - shift, Length(e.oldBytes), e.newBytes, e.oldBytes};
    shift += e.newLength - Length(e.oldBytes);
  }
}

std::vector<Splice> UndoSplices(const TagEdits& edits) {
  std::vector<Splice> splices;
  for (const TagEdit& e : edits.edits) {
    splices.push_back({e.offset, e.newLength, e.oldBytes, e.newBytes});
  }
  return splices;
}

Error ApplySplices(FileSystem& disk, const std::string& path, std::unique_ptr<OpenFile>& file,
                   const FileStamp& stamp, std::span<const Splice> splices) {
  long long end = 0;
  for (const Splice& s : splices) {
    if (s.start < end || s.length < 0 || s.start + s.length > stamp.identity.size) {
      return Error{kInvalidArgument, "tag region outside the file"};
    }
    end = s.start + s.length;
  }
  if (InPlace(splices, stamp.identity.size)) return WriteInPlace(*file, stamp, splices);
  return Rewrite(disk, path, file, stamp, splices);
}

}  // namespace velmora
