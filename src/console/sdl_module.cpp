// Loading the SDL module with dlopen.
#include "console/sdl_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "console/install_paths.h"

namespace quipular {
namespace {

constexpr const char* kModule = "libquipular_sdl.so";

void* Module() {
  static void* handle = [] {
    for (const std::string& dir : ModuleDirectories()) {
      const std::string path = dir + "/" + kModule;
      if (access(path.c_str(), F_OK) != 0) continue;
      if (void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
    }
    return static_cast<void*>(nullptr);
  }();
  return handle;
}

}  // namespace

void* LoadModuleSymbol(const char* name) {
  void* module = Module();
  return module ? dlsym(module, name) : nullptr;
}

}  // namespace quipular
