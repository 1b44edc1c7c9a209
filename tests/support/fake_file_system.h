// An in-memory disk for tests: names point at shared files, so links and
// spellings on a case-insensitive disk are one file; any call can be made
// to fail, every call is logged, and a hook sees every change. It serves the
// plan, the search and the tag writers too (a folder exists while it holds
// a file). With inodePerSpelling each spelling of a file has its own inode
// number, as exFAT through FUSE gives them.
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
  explicit FakeFileSystem(bool ignoreCase = false, bool inodePerSpelling = false)
      : ignoreCase_(ignoreCase), inodePerSpelling_(inodePerSpelling) {}

  void AddFile(const std::string& path, const std::string& content = "") {
    files_[Key(path)] = {path, std::make_shared<Data>(Data{content})};
  }
  void AddLink(const std::string& existing, const std::string& path) {
    files_[Key(path)] = {path, files_.at(Key(existing)).second};
  }
  bool Has(const std::string& path) const { return files_.count(Key(path)) != 0; }
  std::string Content(const std::string& path) const { return files_.at(Key(path)).second->bytes; }
  std::vector<std::string> Files() const {  // as spelled, sorted
    std::vector<std::string> names;
    for (const auto& [key, file] : files_) names.push_back(file.first);
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
    if (Error e = Call("GetFile", path, "")) return e;
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
  bool SameFile(const std::string& a, const std::string& b) override {
    return Has(a) && Has(b) && files_.at(Key(a)).second == files_.at(Key(b)).second &&
           (!inodePerSpelling_ || a == b);
  }
  bool HasEntrySpelled(const std::string& path) override {
    return Has(path) && files_.at(Key(path)).first == path;
  }

  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override {
    for (const auto& [key, file] : files_) {
      const std::string& path = file.first;
      if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
          path.find(kPathSeparator, folder.size()) == std::string::npos) {
        items.push_back({path.substr(folder.size()), true});
      }
    }
    return true;
  }
  FolderListing ReadFolder(const std::string& folder) override {
    FolderListing listing;
    if ((listing.error = Call("ReadFolder", folder, ""))) return listing;
    const std::string prefix =
        !folder.empty() && folder.back() == kPathSeparator ? folder : folder + kPathSeparator;
    for (const auto& [key, file] : files_) {
      const std::string& path = file.first;
      if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) continue;
      const std::size_t end = path.find(kPathSeparator, prefix.size());
      const std::string name = path.substr(prefix.size(), end - prefix.size());
      if (name[0] == '.') continue;
      auto& names = end == std::string::npos ? listing.files : listing.subFolders;
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    if (listing.files.empty() && listing.subFolders.empty()) {
      listing.error = {kPathNotFound, "No such file or directory"};
    }
    std::sort(listing.subFolders.begin(), listing.subFolders.end());
    return listing;
  }

  PathKind Probe(const std::string& path) override {
    return Has(path) ? PathKind::kFile : PathKind::kNone;
  }
  bool IgnoresCase(const std::string&) override { return ignoreCase_; }
  bool Identify(const std::string& path, FileIdentity& identity) override {
    if (!Has(path)) return false;
    const auto& file = files_.at(Key(path));
    identity.inode = reinterpret_cast<std::uintptr_t>(file.second.get());
    if (inodePerSpelling_) identity.inode ^= std::hash<std::string>{}(path);
    identity.size = static_cast<std::int64_t>(file.second->bytes.size());
    identity.modified = file.second->modified;
    return true;
  }

  std::unique_ptr<OpenFile> Open(const std::string& path, OpenMode, Error& error) override {
    if ((error = Call("Open", path, ""))) return nullptr;
    if (!Has(path)) {
      error = NotFound();
      return nullptr;
    }
    return std::make_unique<File>(*this, path, files_.at(Key(path)).second);
  }
  std::unique_ptr<OpenFile> CreateBeside(const std::string& path, std::string& created,
                                         Error& error) override {
    if ((error = Call("CreateBeside", path, ""))) return nullptr;
    const std::size_t nameStart = path.rfind(kPathSeparator) + 1;
    created = path.substr(0, nameStart) + "." + path.substr(nameStart) + ".velmora-" +
              std::to_string(++created_);
    AddFile(created);
    return std::make_unique<File>(*this, created, files_.at(Key(created)).second);
  }
  Error ReplaceWith(const std::string& source, const std::string& target) override {
    if (Error e = Call("ReplaceWith", source, target)) return e;
    if (!Has(source)) return NotFound();
    files_.erase(Key(target));
    Rename(source, target);
    return Changed("ReplaceWith", target);
  }

 private:
  struct Data {
    std::string bytes;
    std::int64_t modified = 0;
    std::uint32_t mode = 0644;
  };

  // An open file: every call is logged under the name it was opened by.
  class File : public OpenFile {
   public:
    File(FakeFileSystem& disk, std::string path, std::shared_ptr<Data> data)
        : disk_(disk), path_(std::move(path)), data_(std::move(data)) {}
    Error Stamp(FileStamp& stamp) override {
      if (Error e = Logged("Stamp")) return e;
      stamp.identity.inode = reinterpret_cast<std::uintptr_t>(data_.get());
      stamp.identity.size = static_cast<std::int64_t>(data_->bytes.size());
      stamp.identity.modified = data_->modified;
      stamp.mode = data_->mode;
      return {};
    }
    Error ReadAt(std::int64_t offset, char* data, std::size_t size) override {
      if (Error e = Logged("ReadAt")) return e;
      const std::string& bytes = data_->bytes;
      if (offset < 0 || static_cast<std::size_t>(offset) + size > bytes.size()) {
        return {kInputPastEnd, "input past end of file"};
      }
      std::copy_n(bytes.begin() + offset, size, data);
      return {};
    }
    Error WriteAt(std::int64_t offset, const char* data, std::size_t size) override {
      const Error e = Logged("WriteAt");
      Put(offset, data, e ? size / 2 : size);
      return e;
    }
    Error Truncate(std::int64_t size) override {
      const Error e = Logged("Truncate");
      if (!e) data_->bytes.resize(static_cast<std::size_t>(size), '\0');
      if (!e) data_->modified = ++disk_.clock_;
      return e;
    }
    Error SetModified(std::int64_t modified) override {
      const Error e = Logged("SetModified");
      if (!e) data_->modified = modified;
      return e;
    }
    Error KeepModeAndOwner(const FileStamp& stamp) override {
      const Error e = Logged("KeepModeAndOwner");
      if (!e) data_->mode = stamp.mode;
      return e;
    }
    Error Sync() override { return Logged("Sync"); }
    Error Close() override { return Logged("Close"); }

   private:
    Error Logged(const char* op) { return disk_.Call(op, path_, ""); }
    void Put(std::int64_t offset, const char* data, std::size_t size) {
      if (size == 0) return;
      std::string& bytes = data_->bytes;
      const std::size_t end = static_cast<std::size_t>(offset) + size;
      if (bytes.size() < end) bytes.resize(end, '\0');
      std::copy_n(data, size, bytes.begin() + offset);
      data_->modified = ++disk_.clock_;
    }
    FakeFileSystem& disk_;
    std::string path_;
    std::shared_ptr<Data> data_;
  };

  void Rename(const std::string& source, const std::string& target) {
    auto file = files_.extract(Key(source));
    file.key() = Key(target);
    file.mapped().first = target;
    files_.insert(std::move(file));
  }
  static Error NotFound() { return {kFileNotFound, "No such file or directory"}; }
  std::string Key(std::string path) const {
    if (ignoreCase_) {
      for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return path;
  }
  Error Call(const std::string& op, const std::string& a, const std::string& b) {
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
    if (!target.empty() && Has(target)) return {kFileExists, "File exists"};
    return {};
  }
  Error Changed(const std::string& op, const std::string& path) {
    if (afterChange) afterChange(op, path);
    return {};
  }

  bool ignoreCase_;
  bool inodePerSpelling_;
  std::map<std::string, std::pair<std::string, std::shared_ptr<Data>>> files_;
  std::map<std::string, Error> failures_;
  std::size_t failAt_ = 0;
  Error failAtError_;
  std::int64_t clock_ = 0;  // modification times: every change is later
  int created_ = 0;
};

}  // namespace velmora::testing
