// TagLib's view of a file opened through the file system, for the tag
// sources only (it brings TagLib's headers): reads come from the file, and
// every change TagLib makes lands in a ByteOverlay that later reads see.
// TagLib never touches the disk itself.
#pragma once

#include <taglib/tiostream.h>

#include <string>

#include "engine/file_system.h"
#include "tags/byte_overlay.h"

namespace velmora {

class OverlayStream : public TagLib::IOStream {
 public:
  // The size bytes from offset on of the file at path, open as file; file
  // stays the caller's.
  OverlayStream(std::string path, OpenFile& file, bool writable, long long size,
                long long offset = 0);

  [[nodiscard]] TagLib::FileName name() const override { return path_.c_str(); }
  TagLib::ByteVector readBlock(unsigned long length) override;
  void writeBlock(const TagLib::ByteVector& data) override;
  void insert(const TagLib::ByteVector& data, unsigned long start, unsigned long replace) override;
  void removeBlock(unsigned long start, unsigned long length) override;
  [[nodiscard]] bool readOnly() const override { return !writable_; }
  [[nodiscard]] bool isOpen() const override { return true; }
  void seek(long offset, Position p) override;
  [[nodiscard]] long tell() const override { return static_cast<long>(position_); }
  long length() override { return static_cast<long>(overlay_.size()); }
  void truncate(long length) override;

  [[nodiscard]] const ByteOverlay& overlay() const { return overlay_; }
  // The first read failure; TagLib itself only sees short reads.
  [[nodiscard]] const Error& error() const { return error_; }

 private:
  std::string path_;
  bool writable_;
  ByteOverlay overlay_;
  long long position_ = 0;
  Error error_;
};

}  // namespace velmora
