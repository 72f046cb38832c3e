// The voice's settings: ReadSetting with the program-directory placeholder,
// and StartVoice, which sets the sound and letters directories and the
// playback speed-ups.
#pragma once

#include <string>

namespace quipular {

struct VoiceSettings {
  std::string startup_directory;  // the current directory at start
  int speed = 3;                  // voice speed 1 to 5
  std::string diphone_database;   // the database name for the speed (at most 8 characters)
  std::string diphone_directory;  // where the database is, ending in "\"
  bool engine_active = false;     // a speech engine is running
  int engine_type = 4;            // 3 the diphone engine, 5 and others the system's speech
  int engine_voice = 0;           // voice number asked for
  int engine_speed = 0;           // engine speed (0 when above 10, but for type 4)
  int engine_pitch = 0;           // engine pitch
};

extern VoiceSettings g_voice;

// A value of the settings file ("VESTRA" when section is empty), with "@"
// expanded to the family's program directory. Empty when missing.
std::string ReadSetting(const std::string& section, const std::string& key);

// Sets up the voice with a speed (0 or less: from the settings) and the
// sound directory.
void StartVoice(int speed, const std::string& sound_directory);

// Whether the diphone database can be loaded: 0, 1 (a directory or the
// database is missing) or 2 (the rules files are missing).
int CheckDiphoneDatabase();

// What every screen does: the sound directory from the settings, then
// StartVoice with the speed of the settings.
void SetUpVoice();

}  // namespace quipular
