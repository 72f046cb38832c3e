// Fuzz target: wave files of any shape through the player (as a prompt file
// and as a word file joined into a number's wave).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "byte_frontend.h"
#include "console/text_console.h"
#include "voice/audio_devices.h"
#include "voice/named_sounds.h"
#include "voice/number_words.h"
#include "voice/wave_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quipular;
  static const std::string dir = [] {
    char templ[] = "/tmp/quipular-fuzz-wave-XXXXXX";
    return std::string(mkdtemp(templ));
  }();
  std::string path = dir + "/_um.wav";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  ByteFrontend frontend(nullptr, 0);
  RecordingAudioDevice device;
  ResetConsole(&frontend);
  SetAudioDevice(&device);
  ResetWavePlayer();
  SetWaveDoneHandler(&WaveDone);
  SetPlaybackOptions(size > 0 && (data[size - 1] & 2), size > 0 && (data[size - 1] & 1));
  g_sounds = NamedSounds{};
  g_sounds.letters_directory = dir + "/";
  try {
    PlayWaveFile(path);
    SpeakWords("um um um", false);
  } catch (const ProgramExit&) {
  }
  StopWave();
  SetAudioDevice(nullptr);
  return 0;
}
