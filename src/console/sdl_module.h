// The SDL module (libquipular_sdl.so): the parts of the program that need
// SDL, loaded only when they are used, so that scripts never pay for SDL.
#pragma once

namespace quipular {

// A symbol of the module, found in the first of ModuleDirectories() that
// holds one that loads; null when none does.
void* LoadModuleSymbol(const char* name);

}  // namespace quipular
