#include "tags/overlay_stream.h"

#include <algorithm>

namespace velmora {
namespace {

std::string_view View(const TagLib::ByteVector& data) { return {data.data(), data.size()}; }

}  // namespace

OverlayStream::OverlayStream(std::string path, OpenFile& file, bool writable, long long size,
                             long long offset)
    : path_(std::move(path)),
      writable_(writable),
      overlay_([&file, offset](long long at, char* data,
                               std::size_t n) { return file.ReadAt(offset + at, data, n); },
               size) {}

TagLib::ByteVector OverlayStream::readBlock(unsigned long length) {
  const long long available = std::max(
      0LL, std::min<long long>(static_cast<long long>(length), overlay_.size() - position_));
  TagLib::ByteVector data(static_cast<unsigned int>(available), '\0');
  if (available > 0) {
    if (Error e = overlay_.Read(position_, data.data(), data.size())) {
      if (!error_) error_ = e;
      return {};
    }
  }
  position_ += available;
  return data;
}

void OverlayStream::writeBlock(const TagLib::ByteVector& data) {
  overlay_.Replace(position_, static_cast<long long>(data.size()), View(data));
  position_ += data.size();
}

void OverlayStream::insert(const TagLib::ByteVector& data, unsigned long start,
                           unsigned long replace) {
  overlay_.Replace(static_cast<long long>(start), static_cast<long long>(replace), View(data));
}

void OverlayStream::removeBlock(unsigned long start, unsigned long length) {
  overlay_.Replace(static_cast<long long>(start), static_cast<long long>(length), {});
}

void OverlayStream::seek(long offset, Position p) {
  const long long base = p == Beginning ? 0 : p == Current ? position_ : overlay_.size();
  position_ = std::max(0LL, base + offset);
}

void OverlayStream::truncate(long length) {
  overlay_.Replace(length, overlay_.size() - length, {});
}

}  // namespace velmora
