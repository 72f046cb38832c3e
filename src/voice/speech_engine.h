// Speech through a speech server instead of the recorded prompts: the engine
// interface (the speech-dispatcher module, libquipular_speechd.so, provides
// it), and the prompts said with it as the wave player plays them: skipped
// when a key waits, cut by a key, waited for to the end.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace quipular {

class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // Starts saying UTF-8 text at a rate from -100 to 100; false when the
  // server refuses it or has gone.
  virtual bool Say(const std::string& text, int rate) = 0;
  // Whether the text said last is still being said (its end or cancel
  // event has not come).
  virtual bool Speaking() = 0;
  // Stops the speech at once.
  virtual void Cancel() = 0;
  // Waits at most ms, in real time, for the speech to end.
  virtual void Wait(int ms) = 0;
  // Why the last call failed.
  virtual std::string Error() = 0;
  // Whether the server stopped answering (a request took longer than
  // kServerTimeLimit); the engine is then given up.
  virtual bool Hung() = 0;
  // Ends the connection; false when the server did not answer now (a server
  // given up before is left alone).
  virtual bool Close() = 0;
};

// The module's entry point: a connection to speech-dispatcher (the address
// in SPEECHD_ADDRESS, else its default, started when it autospawns), or null
// with the reason in error.
using OpenSpeechEngineFunction = SpeechEngine* (*)(std::string& error);

// speech-dispatcher through its module; null with the reason when it cannot
// be loaded or reached.
std::unique_ptr<SpeechEngine> LoadSpeechDispatcher(std::string& error);

// The engine in use; null (the default) plays the recorded prompts.
void SetSpeechEngine(SpeechEngine* engine);
bool SpeechEngineActive();
// Why the engine was given up during the run, said at exit; empty if not.
const std::string& SpeechEngineLost();

// How a text given to the engine ended.
enum class Said {
  kNot,    // no engine, or it has gone or does not answer: the prompt falls back to its recording
  kWhole,  // said to its end (or given up for a server that stopped)
  kCut,    // a key stopped it
};

// Says text with the engine and waits for its end; a key that comes stops
// it. An end that does not come long after the text should have been said
// is taken for a server that stopped.
Said SayText(const std::string& text);

// What the engine says: the phrase of a sound key (any case), the name of a
// Windows-1252 character, the words of a number as written by the program
// (Windows-1252, blank-separated). Empty when the tables have none.
std::string PhraseOfSoundKey(const std::string& key);
std::string CharacterName(unsigned char c);
std::string SaidWords(const std::string& words);

// The engine's rate (-100 to 100) for a voice speed of 1 to 5.
int SpeechRate(int speed);

}  // namespace quipular
