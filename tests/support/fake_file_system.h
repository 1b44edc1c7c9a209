// An in-memory disk for tests: names point at shared files, so links and
// spellings on a case-insensitive disk are one file; any call can be made
// to fail, every call is logged, and a hook sees every change. A folder
// exists while it holds a file. A lock is held by one open file at a time.
#pragma once

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/path.h"

namespace velmora::testing {

class FakeFileSystem : public FileSystem {
 public:
  explicit FakeFileSystem(bool ignoreCase = false) : ignoreCase_(ignoreCase) {}

  void AddFile(const std::string& path, const std::string& content = "") {
    files_[Key(path)] = {path, std::make_shared<Data>(Data{content})};
  }
  void AddLink(const std::string& existing, const std::string& path) {
    files_[Key(path)] = {path, At(existing).data};
  }
  [[nodiscard]] bool Has(const std::string& path) const { return files_.count(Key(path)) != 0; }
  [[nodiscard]] std::string Content(const std::string& path) const { return At(path).data->bytes; }
  [[nodiscard]] std::vector<std::string> Files() const {  // as spelled, sorted
    std::vector<std::string> names;
    for (const auto& [key, entry] : files_) names.push_back(entry.spelled);
    std::sort(names.begin(), names.end());
    return names;
  }
  // Every later call of op ("Move", "WriteAt"), or every later call logged
  // exactly as call ("WriteAt /T/a.mp3"), fails with error.
  void Fail(const std::string& call, Error error) { failures_[call] = std::move(error); }
  // The n-th call from now (1: the next one), whatever it is, fails with
  // error. A failing WriteAt has written half its bytes, as on a full disk.
  void FailCall(std::size_t n, Error error) {
    failAt_ = calls.size() + n;
    failAtError_ = std::move(error);
  }
  // Every call in order, as "Move a b", "GetFile a", "ReadFolder f",
  // "WriteAt f"; the plan's looks are not logged.
  std::vector<std::string> calls;
  std::function<void(const std::string& op, const std::string& path)> afterChange;

  Error GetFile(const std::string& path) override {
    if (Error e = Call("GetFile", path)) return e;
    return Has(path) ? Error{} : NotFound();
  }
  Error Move(const std::string& source, const std::string& target) override {
    if (Error e = Check("Move", source, target)) return e;
    Rename(source, target);
    return Changed("Move", target);
  }
  Error Copy(const std::string& source, const std::string& target) override {
    if (Error e = Check("Copy", source, target)) return e;
    AddFile(target, Content(source));
    return Changed("Copy", target);
  }
  Error Delete(const std::string& path) override {
    if (Error e = Check("Delete", path, "")) return e;
    files_.erase(Key(path));
    return Changed("Delete", path);
  }
  Error ReplaceWith(const std::string& source, const std::string& target) override {
    if (Error e = Call("ReplaceWith", source, target)) return e;
    if (!Has(source)) return NotFound();
    files_.erase(Key(target));
    Rename(source, target);
    return Changed("ReplaceWith", target);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return Has(a) && Has(b) && At(a).data == At(b).data;
  }

  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override {
    for (std::string_view name : Children(folder).files) items.push_back({std::string(name), true});
    return true;
  }
  FolderListing ReadFolder(const std::string& folder) override {
    if (Error e = Call("ReadFolder", folder)) return {e, {}, {}};
    const FolderListing all =
        Children(folder.ends_with(kPathSeparator) ? folder : folder + kPathSeparator);
    FolderListing listing;
    for (std::string_view name : all.files) {
      if (name[0] != '.') listing.files.Add(name);
    }
    for (const std::string& name : all.subFolders) {
      if (name[0] != '.') listing.subFolders.push_back(name);
    }
    return listing;
  }
  PathKind Probe(const std::string& path) override {
    return Has(path) ? PathKind::kFile : PathKind::kNone;
  }
  bool IgnoresCase(const std::string&) override { return ignoreCase_; }
  bool Identify(const std::string& path, FileIdentity& identity) override {
    if (Call("Identify", path) || !Has(path)) return false;
    identity = At(path).data->Identity();
    return true;
  }

  std::unique_ptr<OpenFile> Open(const std::string& path, OpenMode, Error& error) override {
    if (!(error = Call("Open", path)) && !Has(path)) error = NotFound();
    return error ? nullptr : std::make_unique<File>(*this, path);
  }
  std::unique_ptr<OpenFile> OpenOwn(const std::string& path, OwnFileMode mode,
                                    Error& error) override {
    if ((error = Call("OpenOwn", path))) return nullptr;
    if (Has(path) && mode == OwnFileMode::kCreateNew) error = {kFileExists, "File exists"};
    if (!Has(path) && mode == OwnFileMode::kExisting) error = NotFound();
    if (error) return nullptr;
    if (!Has(path)) AddFile(path);
    return std::make_unique<File>(*this, path);
  }
  bool IdentifyFileSystem(const std::string& folder, FileSystemIdentity& id) override {
    if (Call("IdentifyFileSystem", folder)) return false;
    id = {1, true};
    return true;
  }
  std::unique_ptr<OpenFile> CreateBeside(const std::string& path, std::string& created,
                                         Error& error) override {
    if ((error = Call("CreateBeside", path))) return nullptr;
    const std::size_t nameStart = path.rfind(kPathSeparator) + 1;
    created = path.substr(0, nameStart) + "." + path.substr(nameStart) + ".velmora-" +
              std::to_string(++created_);
    AddFile(created);
    return std::make_unique<File>(*this, created);
  }

 private:
  struct Data {
    std::string bytes;
    std::int64_t modified = 0;
    std::uint32_t mode = 0644;
    const void* lockedBy = nullptr;
    [[nodiscard]] FileIdentity Identity() const {
      return {0, reinterpret_cast<std::uintptr_t>(this), static_cast<std::int64_t>(bytes.size()),
              modified};
    }
  };
  struct Entry {
    std::string spelled;
    std::shared_ptr<Data> data;
  };

  // An open file: every call is logged under the name it was opened by and
  // may fail like any other.
  class File : public OpenFile {
   public:
    File(FakeFileSystem& disk, std::string path)
        : disk_(disk), path_(std::move(path)), data_(disk.At(path_).data) {}
    ~File() override { Unlock(0, 0); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    Error Stamp(FileStamp& stamp) override {
      return Do("Stamp", [&] { stamp = {data_->Identity(), data_->mode}; });
    }
    Error ReadAt(std::int64_t offset, char* data, std::size_t size) override {
      if (Error e = disk_.Call("ReadAt", path_)) return e;
      if (offset < 0 || static_cast<std::size_t>(offset) + size > data_->bytes.size()) {
        return {kInputPastEnd, "input past end of file"};
      }
      data_->bytes.copy(data, size, static_cast<std::size_t>(offset));
      return {};
    }
    Error WriteAt(std::int64_t offset, const char* data, std::size_t size) override {
      const Error e = disk_.Call("WriteAt", path_);
      if (e) size /= 2;
      if (size == 0) return e;
      std::string& bytes = data_->bytes;
      bytes.resize(std::max(bytes.size(), static_cast<std::size_t>(offset) + size), '\0');
      bytes.replace(static_cast<std::size_t>(offset), size, data, size);
      data_->modified = ++disk_.clock_;
      return e;
    }
    Error Truncate(std::int64_t size) override {
      return Do("Truncate", [&] {
        data_->bytes.resize(static_cast<std::size_t>(size), '\0');
        data_->modified = ++disk_.clock_;
      });
    }
    Error SetModified(std::int64_t modified) override {
      return Do("SetModified", [&] { data_->modified = modified; });
    }
    Error KeepAttributes(OpenFile&, const FileStamp& stamp) override {
      return Do("KeepAttributes", [&] { data_->mode = stamp.mode; });
    }
    Error Lock(std::int64_t, std::int64_t, bool, bool) override {
      if (Error e = disk_.Call("Lock", path_)) return e;
      if (HeldElsewhere()) return {kPermissionDenied, "Resource temporarily unavailable"};
      data_->lockedBy = this;
      return {};
    }
    void Unlock(std::int64_t, std::int64_t) override {
      if (data_->lockedBy == this) data_->lockedBy = nullptr;
    }
    Error LockedElsewhere(std::int64_t, std::int64_t, bool& locked) override {
      return Do("LockedElsewhere", [&] { locked = HeldElsewhere(); });
    }
    Error Sync() override { return disk_.Call("Sync", path_); }
    Error Close() override { return disk_.Call("Close", path_); }

   private:
    [[nodiscard]] bool HeldElsewhere() const {
      return data_->lockedBy != nullptr && data_->lockedBy != this;
    }
    template <typename Change>
    Error Do(const char* op, Change change) {
      const Error e = disk_.Call(op, path_);
      if (!e) change();
      return e;
    }
    FakeFileSystem& disk_;
    std::string path_;
    std::shared_ptr<Data> data_;
  };

  [[nodiscard]] const Entry& At(const std::string& path) const { return files_.at(Key(path)); }
  // The names directly in prefix (ending in the separator), hidden ones too.
  [[nodiscard]] FolderListing Children(const std::string& prefix) const {
    FolderListing listing;
    for (const auto& [key, entry] : files_) {
      const std::string& path = entry.spelled;
      if (path.size() <= prefix.size() || !path.starts_with(prefix)) continue;
      const std::size_t end = path.find(kPathSeparator, prefix.size());
      const std::string name = path.substr(prefix.size(), end - prefix.size());
      if (end == std::string::npos) {
        listing.files.Add(name);  // a file's path is kept once
        continue;
      }
      std::vector<std::string>& folders = listing.subFolders;
      if (std::find(folders.begin(), folders.end(), name) == folders.end()) folders.push_back(name);
    }
    std::sort(listing.subFolders.begin(), listing.subFolders.end());
    return listing;
  }
  void Rename(const std::string& source, const std::string& target) {
    auto node = files_.extract(Key(source));
    node.key() = Key(target);
    node.mapped().spelled = target;
    files_.insert(std::move(node));
  }
  static Error NotFound() { return {kFileNotFound, "No such file or directory"}; }
  [[nodiscard]] std::string Key(std::string path) const {
    if (ignoreCase_) {
      for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return path;
  }
  Error Call(const std::string& op, const std::string& a, const std::string& b = "") {
    calls.push_back(op + " " + a + (b.empty() ? "" : " " + b));
    if (calls.size() == failAt_) return failAtError_;
    for (const std::string& key : {op, calls.back()}) {
      if (failures_.count(key) != 0) return failures_[key];
    }
    return {};
  }
  Error Check(const std::string& op, const std::string& source, const std::string& target) {
    if (Error e = Call(op, source, target)) return e;
    if (!Has(source)) return NotFound();
    return !target.empty() && Has(target) ? Error{kFileExists, "File exists"} : Error{};
  }
  Error Changed(const std::string& op, const std::string& path) {
    if (afterChange) afterChange(op, path);
    return {};
  }

  bool ignoreCase_;
  std::map<std::string, Entry> files_;
  std::map<std::string, Error> failures_;
  std::size_t failAt_ = 0;
  Error failAtError_;
  std::int64_t clock_ = 0;  // modification times: every change is later
  int created_ = 0;
};

}  // namespace velmora::testing
