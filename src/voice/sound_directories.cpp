// The prompts' directories, one instance.
#include "voice/sound_directories.h"

namespace quipular {

NamedSounds g_sounds;

}  // namespace quipular
