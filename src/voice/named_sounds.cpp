// Named sounds over the transcript; a prompt is skipped when a key waits.
#include "voice/named_sounds.h"

#include "console/text_console.h"
#include "console/transcript.h"

namespace quipular {

NamedSounds g_sounds;

void PlayPrompt(const std::string& line) {
  if (KeyPressed()) {
    RecordSpeech(line + " [skipped]");
    return;
  }
  RecordSpeech(line);
}

void PlaySoundKey(const std::string& key) {
  PlayPrompt("sound " + key);
}

void SpellCharacter(unsigned char c) {
  PlayPrompt("char " + std::to_string(c));
}

void SpellText(const std::string& text) {
  for (char c : text) {
    if (KeyPressed()) return;
    SpellCharacter(static_cast<unsigned char>(c));
  }
}

}  // namespace quipular
