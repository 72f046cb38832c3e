// Named sounds: sound keys and character names played from the recorded
// prompts (or said by a speech server), each noted in the transcript (skipped or cut when a key
// waits).
#include "voice/named_sounds.h"

#include "console/text_console.h"
#include "console/transcript.h"
#include "voice/speech_engine.h"
#include "voice/wave_player.h"

namespace quipular {
namespace {

size_t g_prompt_line = 0;  // the transcript line of the prompt playing

}  // namespace

bool BeginPrompt(const std::string& line) {
  WaitForFirstPrompt();
  if (KeyPressed()) {
    RecordSpeech(line + " [skipped]");
    return false;
  }
  RecordSpeech(line);
  g_prompt_line = g_transcript.lines.size();
  g_player.cut = false;
  return true;
}

void EndPrompt() {
  if (g_player.cut && g_transcript.enabled && g_prompt_line > 0 &&
      g_prompt_line <= g_transcript.lines.size())
    g_transcript.lines[g_prompt_line - 1] += " [cut]";
  g_player.cut = false;
}

void PlayPrompt(const std::string& line, const std::string& windows_path) {
  if (!BeginPrompt(line)) return;
  PlayPromptFile(windows_path);
  EndPrompt();
}

namespace {

// A prompt said by the speech engine when one is in use (and has not gone),
// else played from its recording.
void SayOrPlay(const std::string& line, const std::string& text, const std::string& windows_path) {
  if (!SpeechEngineActive()) return PlayPrompt(line, windows_path);
  if (!BeginPrompt(line)) return;
  if (GatherForPhrase(text, [windows_path] { PlayPromptFile(windows_path); })) return;
  if (!SayText(text)) PlayPromptFile(windows_path);
  EndPrompt();
}

}  // namespace

void PlaySoundKey(const std::string& key) {
  const std::string& dir =
      !key.empty() && key[0] == '_' ? g_sounds.key_letters_directory : g_sounds.sound_directory;
  SayOrPlay("sound " + key, PhraseOfSoundKey(key), dir + key + ".wav");
}

void SpellCharacter(unsigned char c) {
  std::string code = std::to_string(c);
  SayOrPlay("char " + code, CharacterName(c), g_sounds.letters_directory + "_" + code + ".wav");
}

void SpellText(const std::string& text) {
  for (char c : text) {
    if (KeyPressed()) return;
    SpellCharacter(static_cast<unsigned char>(c));
  }
}

}  // namespace quipular
