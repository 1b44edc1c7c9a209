#include "tags/region_replace.h"

#include <algorithm>
#include <vector>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

constexpr long long kCopyChunk = 1 << 20;

Error ChangedError() { return {kPathFileAccess, "the file changed while its tag was written"}; }

Error CopyRange(OpenFile& from, OpenFile& to, long long offset, long long length,
                long long target) {
  std::vector<char> buffer(static_cast<std::size_t>(std::min(length, kCopyChunk)));
  while (length > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min(length, kCopyChunk));
    if (Error error = from.ReadAt(offset, buffer.data(), n)) return error;
    if (Error error = to.WriteAt(target, buffer.data(), n)) return error;
    const long long done = static_cast<long long>(n);
    offset += done, target += done, length -= done;
  }
  return {};
}

// The new file's content: the original with the edit applied.
Error WriteEdited(OpenFile& from, OpenFile& to, long long size, const RegionEdit& edit) {
  const long long end = edit.start + edit.length;
  const long long bytes = static_cast<long long>(edit.bytes.size());
  if (Error error = CopyRange(from, to, 0, edit.start, 0)) return error;
  if (Error error = to.WriteAt(edit.start, edit.bytes.data(), edit.bytes.size())) return error;
  return CopyRange(from, to, end, size - end, edit.start + bytes);
}

Error Rewrite(FileSystem& disk, const std::string& path, std::unique_ptr<OpenFile>& file,
              const FileStamp& stamp, const RegionEdit& edit) {
  std::string temp;
  Error error;
  std::unique_ptr<OpenFile> out = disk.CreateBeside(path, temp, error);
  if (!out) return error;
  error = WriteEdited(*file, *out, stamp.identity.size, edit);
  if (!error) error = out->KeepModeAndOwner(stamp);
  if (!error) error = out->Sync();
  FileIdentity now;
  if (!error && (!disk.Identify(path, now) || now != stamp.identity)) error = ChangedError();
  if (!error) error = disk.ReplaceWith(temp, path);
  if (error) {
    out.reset();
    (void)disk.Delete(temp);  // the original stays; the new copy must not
    return error;
  }
  file = std::move(out);
  return {};
}

}  // namespace

Error ReplaceRegion(FileSystem& disk, const std::string& path, std::unique_ptr<OpenFile>& file,
                    const FileStamp& stamp, const RegionEdit& edit, ReplacedRegion& replaced) {
  if (edit.start < 0 || edit.length < 0 || edit.start + edit.length > stamp.identity.size) {
    return Error{kInvalidArgument, "tag region outside the file"};
  }
  replaced.start = edit.start;
  replaced.newLength = static_cast<long long>(edit.bytes.size());
  replaced.oldBytes.assign(static_cast<std::size_t>(edit.length), '\0');
  if (Error error = file->ReadAt(edit.start, replaced.oldBytes.data(), replaced.oldBytes.size())) {
    return error;
  }
  if (static_cast<long long>(edit.bytes.size()) != edit.length) {
    replaced.rewritten = true;
    return Rewrite(disk, path, file, stamp, edit);
  }
  FileStamp now;
  if (file->Stamp(now) || now.identity != stamp.identity) return ChangedError();
  if (Error error = file->WriteAt(edit.start, edit.bytes.data(), edit.bytes.size())) {
    // Best effort: the old region back rather than half a tag.
    (void)file->WriteAt(edit.start, replaced.oldBytes.data(), replaced.oldBytes.size());
    return error;
  }
  return {};
}

}  // namespace velmora
