// The SDL module (libquipular_sdl.so): the parts of the program that need
// SDL, loaded only when they are used, so that scripts never pay for SDL.
#pragma once

namespace quipular {

// A symbol of the module, found beside the program first and then in the
// installation's library directory; null when it cannot be loaded.
void* LoadModuleSymbol(const char* name);

}  // namespace quipular
