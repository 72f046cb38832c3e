// What a speech server is given: the built-in phrase tables looked up as the
// program names its prompts, the speed as a rate, and the fallback to the
// recordings when the server refuses a text.
#include "voice/speech_engine.h"

#include <gtest/gtest.h>

#include "calculator/model.h"
#include "calculator/spoken_results.h"
#include "console/script_frontend.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "console/transcript.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

TEST(SpokenText, TheTablesAsTheProgramNamesItsPrompts) {
  EXPECT_EQ(PhraseOfSoundKey("DOIGUAL"), "igual a");
  EXPECT_EQ(PhraseOfSoundKey("doigual"), "igual a") << "keys are found without regard to case";
  EXPECT_EQ(PhraseOfSoundKey("DOmas"), "mais");
  EXPECT_NE(PhraseOfSoundKey("\\Comandos\\Ayuda\\F29").find("Ajuda."), std::string::npos);
  EXPECT_EQ(PhraseOfSoundKey("DOIGUA"), "");
  EXPECT_EQ(CharacterName('5'), "cinco");
  EXPECT_EQ(CharacterName('+'), "mais");
  EXPECT_EQ(CharacterName(0xE7), CharacterName(0xC7));
  EXPECT_FALSE(CharacterName(0xE7).empty());
  EXPECT_EQ(CharacterName(7), "");
  EXPECT_EQ(SaidWords("tres"), "três");
  // The conjunction is written "e": the voice reads it within the number.
  EXPECT_EQ(SaidWords(Cp1252("um milhão e   dezessete")), "um milhão e dezessete");
  EXPECT_EQ(SaidWords(""), "");
}

// The five speeds of the settings are even steps of a quarter of the
// server's range either side of its default rate; others are the nearest.
TEST(SpokenText, SpeedsBecomeRatesAroundTheServersDefault) {
  const struct {
    int speed, rate;
  } cases[] = {{1, -50}, {2, -25}, {3, 0}, {4, 25}, {5, 50}, {0, -50}, {9, 50}};
  for (const auto& c : cases) EXPECT_EQ(SpeechRate(c.speed), c.rate) << "speed " << c.speed;
}

// A server that takes nothing: the prompt is played from its recording and
// the engine is given up, with the same transcript.
class RefusingEngine : public SpeechEngine {
 public:
  bool Say(const std::string&, int) override { return false; }
  bool Speaking() override { return false; }
  void Cancel() override {}
  void Wait(int) override {}
  std::string Error() override { return "refused"; }
  bool Hung() override { return false; }
  bool Close() override { return true; }
};

TEST(SpokenText, ARefusingServerFallsBackToTheRecordings) {
  ScriptFrontend frontend{{}};
  ResetConsole(&frontend);
  g_transcript = SpeechTranscript{};
  g_transcript.enabled = true;
  RefusingEngine engine;
  SetSpeechEngine(&engine);
  PlaySoundKey("DOIGUAL");
  EXPECT_FALSE(SpeechEngineActive());
  SpellCharacter('5');
  EXPECT_EQ(g_transcript.lines, (std::vector<std::string>{"sound DOIGUAL", "char 53"}));
  SetSpeechEngine(nullptr);
  g_transcript = SpeechTranscript{};
}

// A server that keeps every text it is given and says it at once.
class KeepingEngine : public SpeechEngine {
 public:
  bool Say(const std::string& text, int) override {
    texts.push_back(text);
    return true;
  }
  bool Speaking() override { return false; }
  void Cancel() override {}
  void Wait(int) override {}
  std::string Error() override { return {}; }
  bool Hung() override { return false; }
  bool Close() override { return true; }
  std::vector<std::string> texts;
};

// A result's reading reaches the server as one text, as a person would
// write it, while the transcript keeps one line a prompt.
TEST(SpokenText, AResultIsOneText) {
  ScriptFrontend frontend{{}};
  ResetConsole(&frontend);
  g_transcript = SpeechTranscript{};
  g_transcript.enabled = true;
  KeepingEngine engine;
  SetSpeechEngine(&engine);
  SetDecimals(2);
  AnnounceResult(-250.5);
  SetDecimals(0);
  SpeakNumber(1017);
  PlaySoundKey("DOmas");
  EXPECT_EQ(engine.texts, (std::vector<std::string>{"igual a menos duzentos e cinquenta " +
                                                        CharacterName('.') + " cinco zero",
                                                    "mil e dezessete", "mais"}));
  EXPECT_EQ(g_transcript.lines.size(), 8u) << "one line a prompt, as the recordings give";
  SetSpeechEngine(nullptr);
  g_transcript = SpeechTranscript{};
}

}  // namespace
}  // namespace quipular
