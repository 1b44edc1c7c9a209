// A photo's original date and time from its Exif data (JPEG, TIFF, PNG, HEIF
// and the common raw formats), read through Exiv2 from a file already open:
// Exiv2 never opens a path itself here.
#pragma once

#include <cstdint>
#include <string>

#include "engine/file_system.h"
#include "engine/name_fields.h"

namespace velmora {

// True for the extensions (small letters, without the dot) of files that
// may carry Exif.
bool IsPhotoExtension(const std::string& ext);

// Sets {Datum} and {Zeit} from DateTimeOriginal (else DateTimeDigitized) of
// the open file of size bytes; leaves them absent when there is none or the
// file cannot be parsed.
void ReadPhotoDate(const std::string& path, OpenFile& file, std::int64_t size, FileFields& fields);

}  // namespace velmora
