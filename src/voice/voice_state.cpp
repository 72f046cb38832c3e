// The voice layer's state between calls.
#include "voice/voice_state.h"

namespace quipular {

VoiceState g_voice_state;

}  // namespace quipular
