// An in-memory file system for tests: files are names pointing at shared
// nodes (so links and case-insensitive spellings share one file), every call
// is recorded, and any call can be told to fail.
#pragma once

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_system.h"

namespace velmora::testing {

class FakeFileSystem : public FileSystem {
 public:
  explicit FakeFileSystem(bool ignoreCase = false) : ignoreCase_(ignoreCase) {}

  void AddFile(const std::string& path, const std::string& content = "") {
    files_[Key(path)] = Entry{path, std::make_shared<Node>(Node{content})};
  }
  // A second name for the file at existing (a hard link).
  void AddLink(const std::string& existing, const std::string& path) {
    files_[Key(path)] = Entry{path, files_.at(Key(existing)).node};
  }
  bool Has(const std::string& path) const { return files_.count(Key(path)) != 0; }
  std::string Content(const std::string& path) const { return files_.at(Key(path)).node->content; }
  // The files as spelled on "disk", sorted.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& [key, entry] : files_) names.push_back(entry.spelled);
    std::sort(names.begin(), names.end());
    return names;
  }

  // Makes calls of op ("GetFile", "Move", "Copy", "Delete") fail with error:
  // on path only (empty: any path), the next `times` calls (-1: always).
  void Fail(const std::string& op, Error error, const std::string& path = "", int times = -1) {
    failures_.push_back(Failure{op, path, std::move(error), times});
  }

  // Called after every successful change (op, path changed).
  std::function<void(const std::string&, const std::string&)> afterChange;

  std::vector<std::string> calls;  // "Move a -> b", "Delete a", ...

  Error GetFile(const std::string& path) override {
    calls.push_back("GetFile " + path);
    if (Error e = Injected("GetFile", path)) return e;
    return Has(path) ? Error{} : NotFound();
  }
  Error Move(const std::string& source, const std::string& target) override {
    calls.push_back("Move " + source + " -> " + target);
    if (Error e = Injected("Move", source)) return e;
    if (!Has(source)) return NotFound();
    if (Has(target)) return Exists();
    Entry entry = files_.at(Key(source));
    files_.erase(Key(source));
    entry.spelled = target;
    files_[Key(target)] = entry;
    Changed("Move", target);
    return {};
  }
  Error Copy(const std::string& source, const std::string& target) override {
    calls.push_back("Copy " + source + " -> " + target);
    if (Error e = Injected("Copy", source)) return e;
    if (!Has(source)) return NotFound();
    if (Has(target)) return Exists();
    AddFile(target, Content(source));
    Changed("Copy", target);
    return {};
  }
  Error Delete(const std::string& path) override {
    calls.push_back("Delete " + path);
    if (Error e = Injected("Delete", path)) return e;
    if (!Has(path)) return NotFound();
    files_.erase(Key(path));
    Changed("Delete", path);
    return {};
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return Has(a) && Has(b) && files_.at(Key(a)).node == files_.at(Key(b)).node;
  }

 private:
  struct Node {
    std::string content;
  };
  struct Entry {
    std::string spelled;
    std::shared_ptr<Node> node;
  };
  struct Failure {
    std::string op;
    std::string path;
    Error error;
    int times;
  };

  static Error NotFound() { return {kErrFileNotFound, "No such file or directory"}; }
  static Error Exists() { return {kErrFileExists, "File exists"}; }

  std::string Key(const std::string& path) const {
    std::string key = path;
    if (ignoreCase_) {
      for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
  }
  Error Injected(const std::string& op, const std::string& path) {
    for (Failure& f : failures_) {
      if (f.op != op || f.times == 0 || (!f.path.empty() && f.path != path)) continue;
      if (f.times > 0) --f.times;
      return f.error;
    }
    return {};
  }
  void Changed(const std::string& op, const std::string& path) {
    if (afterChange) afterChange(op, path);
  }

  bool ignoreCase_;
  std::map<std::string, Entry> files_;
  std::vector<Failure> failures_;
};

}  // namespace velmora::testing
