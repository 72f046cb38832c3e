// Fuzz target: settings files of any shape through the settings reader, the
// "@" expansion and the voice start-up.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "byte_frontend.h"
#include "console/profile.h"
#include "console/text_console.h"
#include "voice/audio_devices.h"
#include "voice/voice_settings.h"
#include "voice/wave_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quipular;
  static const std::string dir = [] {
    char templ[] = "/tmp/quipular-fuzz-settings-XXXXXX";
    std::string d = mkdtemp(templ);
    setenv("VESTRA_WINDIR", d.c_str(), 1);
    setenv("VESTRA_ROOT", d.c_str(), 1);
    return d;
  }();
  FILE* f = std::fopen((dir + "/VESTRA.INI").c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  ForgetProfiles();
  ByteFrontend frontend(nullptr, 0);
  NullAudioDevice device;
  ResetConsole(&frontend);
  SetAudioDevice(&device);
  ResetWavePlayer();
  g_voice = VoiceSettings{};
  g_voice.startup_directory = dir;
  try {
    ReadSetting("QUIPULAR", "DIRQUIPULAR");
    ReadSetting("", "PGMVESTRA");
    OpenConsole();
    StartVoice(0, ReadSetting("QUIPULAR", "DIRQUIPULAR"));
  } catch (const ProgramExit&) {
  }
  SetAudioDevice(nullptr);
  return 0;
}
