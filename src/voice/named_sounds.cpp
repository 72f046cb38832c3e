// Named sounds: sound keys and character names played from the recorded
// prompts (or said by a speech server), each noted in the transcript (skipped or cut when a key
// waits).
#include "voice/named_sounds.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "console/text_console.h"
#include "console/transcript.h"
#include "voice/speech_engine.h"
#include "voice/voice_state.h"
#include "voice/wave_player.h"

namespace quipular {

bool BeginPrompt(const std::string& line) {
  WaitForFirstPrompt();
  if (KeyPressed()) {
    RecordSpeech(line + " [skipped]");
    return false;
  }
  g_voice_state.prompt_line = RecordSpeech(line);
  return true;
}

void EndPrompt(bool cut) {
  if (cut) MarkSpeechCut(g_voice_state.prompt_line);
}

void PlayPrompt(const std::string& line, const std::string& windows_path) {
  if (!BeginPrompt(line)) return;
  EndPrompt(PlayPromptFile(windows_path).cut);
}

namespace {

// A prompt said by the speech engine when one is in use (and has not gone),
// else played from its recording.
void SayOrPlay(const std::string& line, const std::string& text, const std::string& windows_path) {
  if (!SpeechEngineActive()) return PlayPrompt(line, windows_path);
  if (!BeginPrompt(line)) return;
  if (GatherForPhrase(text, [windows_path] { return PlayPromptFile(windows_path).cut; })) return;
  Said said = SayText(text);
  EndPrompt(said == Said::kNot ? PlayPromptFile(windows_path).cut : said == Said::kCut);
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

void BeginPhrase() {
  if (g_voice_state.phrase.depth++ == 0) g_voice_state.phrase = Phrase{1, {}, {}};
}

void EndPhrase() {
  if (g_voice_state.phrase.depth == 0 || --g_voice_state.phrase.depth > 0) return;
  Phrase phrase = std::move(g_voice_state.phrase);
  g_voice_state.phrase = Phrase{};
  if (phrase.text.empty()) return;
  Said said = SayText(phrase.text);
  bool cut = said == Said::kCut;
  if (said == Said::kNot)
    for (const auto& play : phrase.fallback) cut = play() || cut;
  EndPrompt(cut);
}

bool GatherForPhrase(const std::string& text, std::function<bool()> recording) {
  if (g_voice_state.phrase.depth == 0 || !SpeechEngineActive()) return false;
  if (!text.empty())
    g_voice_state.phrase.text += (g_voice_state.phrase.text.empty() ? "" : " ") + text;
  g_voice_state.phrase.fallback.push_back(std::move(recording));
  return true;
}

}  // namespace quipular
