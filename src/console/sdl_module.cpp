// Loading the SDL module with dlopen.
#include "console/sdl_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

#ifndef QUIPULAR_MODULEDIR
#define QUIPULAR_MODULEDIR "/usr/local/lib/quipular"
#endif

namespace quipular {
namespace {

constexpr const char* kModule = "libquipular_sdl.so";

void* Module() {
  static void* handle = [] {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    void* h = nullptr;
    if (n > 0) {
      std::string dir(exe, static_cast<size_t>(n));
      dir.erase(dir.rfind('/') + 1);
      h = dlopen((dir + kModule).c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!h)
      h = dlopen((std::string(QUIPULAR_MODULEDIR "/") + kModule).c_str(), RTLD_NOW | RTLD_LOCAL);
    return h;
  }();
  return handle;
}

}  // namespace

void* LoadModuleSymbol(const char* name) {
  void* module = Module();
  return module ? dlsym(module, name) : nullptr;
}

}  // namespace quipular
