// Loading the program's optional modules (SDL, BrlAPI, speech-dispatcher)
// with dlopen.
#include "console/sdl_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <map>
#include <string>

#include "console/install_paths.h"

namespace quipular {
namespace {

void* Open(const std::string& module) {
  for (const std::string& dir : ModuleDirectories()) {
    const std::string path = dir + "/" + module;
    if (access(path.c_str(), F_OK) != 0) continue;
    if (void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
  }
  return nullptr;
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
