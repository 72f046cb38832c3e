// Reading the voice settings and starting the voice.
#include "voice/voice_settings.h"

#include <unistd.h>

#include <cstdlib>

#include "console/profile.h"
#include "voice/named_sounds.h"

namespace quipular {

VoiceSettings g_voice;

namespace {

// The file ReadSetting reads: the Windows directory's when there is one,
// else the one in the start-up directory.
std::string SettingsFile() {
  std::string file = WindowsSettingsFile();
  if (!file.empty()) return file;
  if (g_voice.startup_directory.empty()) {
    char dir[4096];
    if (getcwd(dir, sizeof dir)) g_voice.startup_directory = dir;
  }
  return FindFileNoCase(g_voice.startup_directory, "VESTRA.INI");
}

bool AskedFor(const std::string& v) {
  return !v.empty() && v[0] != 'N' && v[0] != 'n';
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
  return dir;
}

}  // namespace

std::string ReadSetting(const std::string& section, const std::string& key) {
  std::string file = SettingsFile();
  std::string value =
      ReadProfileString(file, section.empty() ? "VESTRA" : section, key, "").substr(0, 255);
  // Each "@" stands for the program directory. A program directory that
  // itself holds "@\" would never end, so it is refused for the start-up
  // directory.
  std::string program = ReadProfileString(file, "VESTRA", "PGMVESTRA", "");
  if (program.empty() || program[0] == '@' || program.find("@\\") != std::string::npos)
    program = g_voice.startup_directory;
  while (!value.empty()) {
    if (value[0] == '@') {
      value = program + value.substr(1);
    } else if (size_t at = value.find("@\\"); at != std::string::npos) {
      value = value.substr(0, at) + program + value.substr(at + 1);
    } else {
      break;
    }
    if (value.size() > 4096) break;
  }
  return value;
}

void StartVoice(int speed, const std::string& sound_directory) {
  if (speed < 1) {
    speed = std::atoi(ReadSetting("TRADUTOR", "VELOCIDADE").c_str());
    if (speed < 1 || speed > 5) speed = 3;
  }
  g_voice.speed = speed;
  std::string digit = std::to_string(speed);
  g_voice.fast_playback = AskedFor(ReadSetting("SINTETIZADOR", "RAPIDINHO" + digit));
  g_voice.speech_compaction = AskedFor(ReadSetting("SINTETIZADOR", "CORTAFALA" + digit));
  g_sounds.sound_directory = WithSlash(sound_directory);
  std::string letters = ReadProfile("TRADUTOR", "DIRLETRAS", "c:\\orbela\\som\\letras\\");
  if (letters.empty()) letters = "c:\\orbela\\som\\letras\\";  // present but empty means nothing
  g_sounds.key_letters_directory = WithSlash(letters);
  std::string names = ReadProfile("TRADUTOR", "dirLetras", "c:\\orbela\\som\\letras");
  if (names.empty()) names = "c:\\orbela\\som\\letras";
  g_sounds.letters_directory = WithSlash(names.substr(0, 79));
}

void SetUpVoice() {
  StartVoice(0, ReadSetting("QUIPULAR", "DIRQUIPULAR"));
}

}  // namespace quipular
