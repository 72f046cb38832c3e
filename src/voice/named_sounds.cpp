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
#include "voice/wave_player.h"

namespace quipular {
namespace {

size_t g_prompt_line = 0;  // the transcript line of the prompt playing

// The phrase being gathered.
struct Phrase {
  int depth = 0;                                // BeginPhrase calls not yet ended
  std::string text;                             // the prompts' texts, blank-separated
  std::vector<std::function<void()>> fallback;  // their recordings, in order
} g_phrase;

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

void BeginPhrase() {
  if (g_phrase.depth++ == 0) g_phrase = Phrase{1, {}, {}};
}

void EndPhrase() {
  if (g_phrase.depth == 0 || --g_phrase.depth > 0) return;
  Phrase phrase = std::move(g_phrase);
  g_phrase = Phrase{};
  if (phrase.text.empty()) return;
  if (!SayText(phrase.text))
    for (const auto& play : phrase.fallback) play();
  EndPrompt();
}

bool GatherForPhrase(const std::string& text, std::function<void()> recording) {
  if (g_phrase.depth == 0 || !SpeechEngineActive()) return false;
  if (!text.empty()) g_phrase.text += (g_phrase.text.empty() ? "" : " ") + text;
  g_phrase.fallback.push_back(std::move(recording));
  return true;
}

}  // namespace quipular
