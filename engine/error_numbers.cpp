#include "engine/error_numbers.h"

#include <cerrno>
#include <cstring>

namespace velmora {
namespace {

int CommonNumber(int err) {
  switch (err) {
    case ENOENT:
      return kFileNotFound;
    case EEXIST:
    case ENOTEMPTY:
      return kFileExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kDiskFull;
    case EACCES:
    case EPERM:
      return kPermissionDenied;
    case EIO:
      return kDeviceIoError;
    case ENOTDIR:
    case ELOOP:
      return kPathNotFound;
    case ENAMETOOLONG:
      return kBadFileName;
    case EXDEV:
      return kRenameAcrossDrives;
    case EMFILE:
    case ENFILE:
      return kTooManyFiles;
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
      return kDeviceUnavailable;
    case ENOMEM:
      return kOutOfMemory;
    case EINVAL:
      return kInvalidArgument;
    default:  // EROFS, EBUSY, ETXTBSY, EISDIR and the rest
      return kPathFileAccess;
  }
}

int NumberFor(int err, ErrnoUse use) {
  switch (use) {
    case ErrnoUse::kFile:
      break;
    case ErrnoUse::kFolder:
      if (err == ENOENT) return kPathNotFound;
      break;
    case ErrnoUse::kTag:
      if (err == EROFS || err == EBUSY || err == ETXTBSY) return kPermissionDenied;
      break;
  }
  return CommonNumber(err);
}

}  // namespace

Error ErrorFromErrno(int err, ErrnoUse use) {
  if (err == 0) return {};
  return {NumberFor(err, use), std::strerror(err)};
}

}  // namespace velmora
