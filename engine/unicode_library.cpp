// The program's side of velmora-unicode.so: loaded on the first call that
// needs ICU, each call then going to the library's own code.
#include "engine/unicode_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "engine/beside_program.h"

namespace velmora {
namespace {

// Without the library letter case would silently stay as it is, a wrong
// name the user never asked for; like a missing library at start, stop.
[[noreturn]] void Missing(const std::string& path, const char* why) {
  std::fprintf(stderr, "velmora: %s: %s\n", path.c_str(), why);
  std::_Exit(127);
}

const UnicodeCalls* Load() {
  const std::string path = BesideProgram(VELMORA_UNICODE_LIBRARY);
  void* handle = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    std::fprintf(stderr, "velmora: %s\n", ::dlerror());  // dlerror names the path
    std::_Exit(127);
  }
  using Entry = const UnicodeCalls* (*)();
  const auto entry = reinterpret_cast<Entry>(::dlsym(handle, kUnicodeCallsName));
  const UnicodeCalls* calls = entry != nullptr ? entry() : nullptr;
  const UnicodeCalls expected;
  if (calls == nullptr || calls->size != expected.size || calls->version != expected.version) {
    Missing(path, "not the version this program was built with");
  }
  return calls;
}

}  // namespace

const UnicodeCalls* LoadUnicodeLibrary() {
  static const UnicodeCalls* const calls = Load();  // once, whichever thread asks first
  return calls;
}

std::int32_t UnicodeUpper(std::int32_t c) {
  const UnicodeCalls* calls = LoadUnicodeLibrary();
  return calls != nullptr ? calls->upper(c) : c;
}

std::int32_t UnicodeLower(std::int32_t c) {
  const UnicodeCalls* calls = LoadUnicodeLibrary();
  return calls != nullptr ? calls->lower(c) : c;
}

std::int32_t UnicodeFold(std::int32_t c) {
  const UnicodeCalls* calls = LoadUnicodeLibrary();
  return calls != nullptr ? calls->fold(c) : c;
}

bool UnicodeIsLower(std::int32_t c) {
  const UnicodeCalls* calls = LoadUnicodeLibrary();
  return calls != nullptr && calls->isLower(c);
}

}  // namespace velmora
