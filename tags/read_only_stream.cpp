#include "tags/read_only_stream.h"

#include <algorithm>

namespace velmora {

TagLib::ByteVector ReadOnlyStream::readBlock(unsigned long length) {
  const std::int64_t available = std::max<std::int64_t>(
      0, std::min<std::int64_t>(static_cast<std::int64_t>(length), size_ - position_));
  TagLib::ByteVector data(static_cast<unsigned int>(available), '\0');
  // A file that shrank under us reads as ending here.
  if (available > 0 && file_.ReadAt(position_, data.data(), data.size())) {
    return TagLib::ByteVector();
  }
  position_ += available;
  return data;
}

void ReadOnlyStream::seek(long offset, Position p) {
  const std::int64_t base = p == Beginning ? 0 : p == Current ? position_ : size_;
  position_ = std::max<std::int64_t>(0, base + offset);
}

}  // namespace velmora
