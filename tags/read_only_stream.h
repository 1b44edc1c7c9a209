// TagLib's view of a file opened through the file system, for reading only:
// every read is a positioned read of the open file, and any attempt to
// change the file is refused without touching it.
#pragma once

#include <taglib/tiostream.h>

#include <cstdint>
#include <string>

#include "engine/file_system.h"

namespace velmora {

class ReadOnlyStream : public TagLib::IOStream {
 public:
  ReadOnlyStream(const std::string& path, OpenFile& file, std::int64_t size)
      : path_(path), file_(file), size_(size) {}

  [[nodiscard]] TagLib::FileName name() const override { return path_.c_str(); }
  TagLib::ByteVector readBlock(unsigned long length) override;
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
  void removeBlock(unsigned long, unsigned long) override {}
  [[nodiscard]] bool readOnly() const override { return true; }
  [[nodiscard]] bool isOpen() const override { return true; }
  void seek(long offset, Position p) override;
  [[nodiscard]] long tell() const override { return static_cast<long>(position_); }
  long length() override { return static_cast<long>(size_); }
  void truncate(long) override {}

 private:
  std::string path_;
  OpenFile& file_;
  std::int64_t size_;
  std::int64_t position_ = 0;
};

}  // namespace velmora
