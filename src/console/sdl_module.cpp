// Loading the program's optional modules (SDL, BrlAPI, speech-dispatcher)
// with dlopen.
#include "console/sdl_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <map>
#include <string>

#ifndef QUIPULAR_MODULEDIR
#define QUIPULAR_MODULEDIR "/usr/local/lib/quipular"
#endif

namespace quipular {
namespace {

void* Open(const std::string& module) {
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  void* h = nullptr;
  if (n > 0) {
    std::string dir(exe, static_cast<size_t>(n));
    dir.erase(dir.rfind('/') + 1);
    h = dlopen((dir + module).c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  if (!h) h = dlopen((QUIPULAR_MODULEDIR "/" + module).c_str(), RTLD_NOW | RTLD_LOCAL);
  return h;
}

}  // namespace

void* LoadModuleSymbol(const char* module, const char* name) {
  static std::map<std::string, void*> handles;  // loaded once, kept for the run
  auto [it, fresh] = handles.try_emplace(module, nullptr);
  if (fresh) it->second = Open(module);
  return it->second ? dlsym(it->second, name) : nullptr;
}

void* LoadModuleSymbol(const char* name) {
  return LoadModuleSymbol("libquipular_sdl.so", name);
}

}  // namespace quipular
