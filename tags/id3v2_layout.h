// Where the ID3v2 tag at the start of a file really ends, checked byte by
// byte rather than taken from its header: a write replaces only that, so a
// header that claims more than its frames and zero padding (audio inside
// the declared size, a footer flag without a footer, a truncated tag, size
// bytes with the high bit set) is refused instead of guessed at.
#pragma once

#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"

namespace velmora {

// The refusal of a tag whose structure does not hold.
inline constexpr char kDamagedId3v2[] = "ID3v2-Tag beschädigt, nicht geschrieben";

// The length of the ID3v2 tag at the start of file (size bytes long),
// footer included; 0 when the file does not begin with "ID3". A tag that
// does not hold together is kInvalidFileFormat with kDamagedId3v2.
Error Id3v2TagEnd(OpenFile& file, long long size, long long& end);

// The same for a tag given as bytes (the whole tag, or more of the file).
Error Id3v2TagEnd(const std::string& bytes, long long& end);

}  // namespace velmora
