#include "tags/photo_date.h"

// Exiv2 0.27's interface hands out std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <array>
#include <cstring>
#include <exiv2/exiv2.hpp>
#include <mutex>
#include <vector>

namespace velmora {
namespace {

// Exiv2's view of the open file: positioned reads, and for the TIFF and raw
// parsers the file mapped through the same descriptor (read into memory
// where it cannot be mapped). Never writes.
class OpenFileIo : public Exiv2::BasicIo {
 public:
  OpenFileIo(const std::string& path, OpenFile& file, std::int64_t size)
      : path_(path), file_(file), size_(size) {}

  int open() override {
    position_ = 0;
    return 0;
  }
  int close() override { return 0; }
  long write(const Exiv2::byte*, long) override { return 0; }
  long write(Exiv2::BasicIo&) override { return 0; }
  int putb(Exiv2::byte) override { return EOF; }
  Exiv2::DataBuf read(long count) override {
    Exiv2::DataBuf buf(count);
    const long got = read(buf.pData_, count);
    buf.size_ = got;
    return buf;
  }
  long read(Exiv2::byte* buf, long count) override {
    const std::int64_t n =
        std::max<std::int64_t>(0, std::min<std::int64_t>(count, size_ - position_));
    if (n > 0 &&
        file_.ReadAt(position_, reinterpret_cast<char*>(buf), static_cast<std::size_t>(n))) {
      error_ = 1;
      return 0;
    }
    position_ += n;
    eof_ = n < count;
    return static_cast<long>(n);
  }
  int getb() override {
    Exiv2::byte b = 0;
    return read(&b, 1) == 1 ? b : EOF;
  }
  void transfer(Exiv2::BasicIo&) override { throw Exiv2::Error(Exiv2::kerFunctionNotSupported); }
  int seek(long offset, Position pos) override {
    const std::int64_t base = pos == beg ? 0 : pos == cur ? position_ : size_;
    const std::int64_t to = base + offset;
    if (to < 0 || to > size_) return 1;
    position_ = to;
    eof_ = false;
    return 0;
  }
  Exiv2::byte* mmap(bool writeable) override {
    if (writeable) return nullptr;
    // Exiv2 wants a byte*, but only reads through it.
    if (const char* mapped = file_.MapForReading(size_)) {
      return reinterpret_cast<Exiv2::byte*>(const_cast<char*>(mapped));
    }
    if (map_.empty() && size_ > 0) {
      map_.resize(static_cast<std::size_t>(size_));
      if (file_.ReadAt(0, reinterpret_cast<char*>(map_.data()), map_.size())) {
        map_.clear();
        throw Exiv2::Error(Exiv2::kerCallFailed, path_, "read", "mmap");
      }
    }
    return map_.data();
  }
  int munmap() override {
    map_.clear();
    map_.shrink_to_fit();
    return 0;
  }
  [[nodiscard]] long tell() const override { return static_cast<long>(position_); }
  [[nodiscard]] size_t size() const override { return static_cast<size_t>(size_); }
  [[nodiscard]] bool isopen() const override { return true; }
  [[nodiscard]] int error() const override { return error_; }
  [[nodiscard]] bool eof() const override { return eof_ || position_ >= size_; }
  [[nodiscard]] std::string path() const override { return path_; }

 private:
  std::string path_;
  OpenFile& file_;
  std::int64_t size_;
  std::int64_t position_ = 0;
  int error_ = 0;
  bool eof_ = false;
  std::vector<Exiv2::byte> map_;
};

// "2024:05:01 12:30:05" into "2024-05-01" and "12-30-05".
bool SplitExifDate(const std::string& text, FileFields& fields) {
  if (text.size() < 19 || text[4] != ':' || text[7] != ':' || text[10] != ' ') return false;
  std::string date = text.substr(0, 10);
  std::string time = text.substr(11, 8);
  if (date.find_first_not_of("0123456789:") != std::string::npos ||
      time.find_first_not_of("0123456789:") != std::string::npos || date == "0000:00:00") {
    return false;
  }
  std::replace(date.begin(), date.end(), ':', '-');
  std::replace(time.begin(), time.end(), ':', '-');
  fields[NameField::kDate] = date;
  fields[NameField::kTime] = time;
  return true;
}

void SetUpExiv2() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::enableBMFF(true);
  });
}

}  // namespace

void ReadPhotoDate(const std::string& path, OpenFile& file, std::int64_t size, FileFields& fields) {
  SetUpExiv2();
  try {
    Exiv2::BasicIo::AutoPtr io(new OpenFileIo(path, file, size));
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(io);
    if (image.get() == nullptr) return;
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    for (const char* key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized"}) {
      const auto found = exif.findKey(Exiv2::ExifKey(key));
      if (found != exif.end() && SplitExifDate(found->toString(), fields)) return;
    }
  } catch (...) {
    // A damaged or unknown picture simply has no date.
  }
}

}  // namespace velmora

#pragma GCC diagnostic pop
