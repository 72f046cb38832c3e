// Prompts said by a speech server: the texts from the built-in phrase
// tables, and the waits that watch the keyboard as the wave player's do.
#include "voice/speech_engine.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <vector>

#include "console/sdl_module.h"
#include "console/server_notices.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "console/translate.h"
#include "voice/phrase_tables.h"
#include "voice/voice_settings.h"
#include "voice/voice_state.h"

namespace quipular {
namespace {

SpeechEngine* g_engine = nullptr;  // the engine in use, null for the recorded prompts

bool SameKey(const char* a, const std::string& b) {
  size_t i = 0;
  for (; a[i] && i < b.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return !a[i] && i == b.size();
}

void GiveUp() {
  if (g_engine->Hung()) {
    g_voice_state.engine_lost =
        _("quipular: speech-dispatcher does not answer; going on with the recorded prompts");
    PostServerNotice(
        Cp1252("O SERVIDOR DE VOZ NÃO RESPONDE; A CALCULADORA SEGUE COM AS GRAVAÇÕES."),
        "DOVozMuda");
  } else {
    g_voice_state.engine_lost =
        Format(_("quipular: speech-dispatcher has gone (%s); going on with the recorded prompts"),
               g_engine->Error().c_str());
  }
  g_engine = nullptr;
  // On a terminal the line would land in the middle of the screen.
  if (!isatty(2)) {
    std::fprintf(stderr, "%s\n", g_voice_state.engine_lost.c_str());
    g_voice_state.engine_lost.clear();
  }
}

}  // namespace

std::unique_ptr<SpeechEngine> LoadSpeechDispatcher(std::string& error) {
  auto open = reinterpret_cast<OpenSpeechEngineFunction>(
      LoadModuleSymbol("libquipular_speechd.so", "QuipularOpenSpeechDispatcher"));
  if (!open) {
    error = _("the speech-dispatcher module cannot be loaded");
    return nullptr;
  }
  return std::unique_ptr<SpeechEngine>(open(error));
}

void SetSpeechEngine(SpeechEngine* engine) {
  g_engine = engine;
  g_voice_state.engine_lost.clear();
}

bool SpeechEngineActive() {
  return g_engine != nullptr;
}

const std::string& SpeechEngineLost() {
  return g_voice_state.engine_lost;
}

int SpeechRate(int speed) {
  return (std::clamp(speed, 1, 5) - 3) * 25;
}

Said SayText(const std::string& text) {
  if (!g_engine) return Said::kNot;
  if (text.empty()) return Said::kWhole;
  if (!g_engine->Say(text, SpeechRate(g_voice.speed))) {
    GiveUp();
    return Said::kNot;
  }
  // Far longer than the slowest voice takes to say the text.
  using Clock = std::chrono::steady_clock;
  Clock::time_point deadline =
      Clock::now() + std::chrono::seconds(3) + std::chrono::milliseconds(200) * text.size();
  for (;;) {
    bool key = KeyPressed();
    if (key || Clock::now() > deadline) {
      if (!g_engine->Speaking()) return Said::kWhole;
      g_engine->Cancel();
      if (g_engine->Hung()) GiveUp();
      return key ? Said::kCut : Said::kWhole;
    }
    if (!g_engine->Speaking()) return Said::kWhole;
    g_engine->Wait(20);
  }
}

std::string PhraseOfSoundKey(const std::string& key) {
  for (size_t i = 0; i < kSoundPhraseCount; ++i)
    if (SameKey(kSoundPhrases[i].key, key)) return kSoundPhrases[i].text;
  return {};
}

std::string CharacterName(unsigned char c) {
  return kCharacterNames[c] ? kCharacterNames[c] : "";
}

std::string SaidWords(const std::string& words) {
  std::string said, utf8 = Utf8(words);
  size_t pos = 0;
  while ((pos = utf8.find_first_not_of(' ', pos)) != std::string::npos) {
    size_t end = std::min(utf8.find(' ', pos), utf8.size());
    std::string word = utf8.substr(pos, end - pos);
    // The conjunction is recorded from "i", since said alone "e" is taken
    // for the letter; in a number said whole the voice reads "e" right.
    for (size_t i = 0; i < kNumberWordCount && word != "e"; ++i)
      if (word == kNumberWords[i].key) {
        word = kNumberWords[i].text;
        break;
      }
    said += (said.empty() ? "" : " ") + word;
    pos = end;
  }
  return said;
}

}  // namespace quipular
