// The program's optional modules: the SDL module (libquipular_sdl.so) holds
// the parts that need SDL, and the BrlAPI and speech-dispatcher modules the
// clients of those servers, each loaded only when used, so that scripts
// never pay for their libraries.
#pragma once

namespace quipular {

// A symbol of a module (its file name), found in the first of
// ModuleDirectories() that holds one that loads; null when none does.
void* LoadModuleSymbol(const char* module, const char* name);

// A symbol of the SDL module.
void* LoadModuleSymbol(const char* name);

}  // namespace quipular
