// Reading the voice settings and starting the voice.
#include "voice/voice_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "console/profile.h"
#include "console/program_exit.h"
#include "console/regular_file.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "console/transcript.h"
#include "console/translate.h"
#include "voice/path_map.h"
#include "voice/sound_directories.h"
#include "voice/voice_state.h"
#include "voice/wave_player.h"

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
  return FindSettingsFile(g_voice.startup_directory);
}

// A directory's time stamp, or none when it is not a directory.
bool IsDirectory(const std::string& path, timespec* written = nullptr) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if (written) *written = st.st_mtim;
  return true;
}

// A file added, removed or renamed moves its directory's time stamp; a
// stamp from the clock's last second or so is not trusted (a second change
// in the same tick would leave it as it is).
bool SameStamp(const timespec& a, const timespec& b) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec && now.tv_sec - a.tv_sec >= 2;
}

bool Opens(const std::string& windows_path) {
  FILE* f = OpenRegularFile(ResolvePath(windows_path));
  if (!f) return false;
  std::fclose(f);
  return true;
}

bool AskedFor(const std::string& v) {
  return !v.empty() && v[0] != 'N' && v[0] != 'n';
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
  return dir;
}

// Three short tones, heard even when no prompt can be: something is wrong.
void WarningTones() {
  constexpr int kRate = 11025, kTone = kRate / 8, kGap = kRate / 10, kHz = 880;
  std::vector<uint8_t> pcm;
  for (int tone = 0; tone < 3; ++tone) {
    RecordSpeech("tone " + std::to_string(kHz));
    for (int i = 0; i < kTone; ++i) pcm.push_back((i * kHz * 2 / kRate) % 2 ? 176 : 80);
    pcm.insert(pcm.end(), kGap, 128);
  }
  SetPlaybackOptions(false, false);
  if (PlayPcm(pcm.data(), pcm.size(), kRate, 1, 8) == 0)
    while (WaveBusy()) Audio().Wait(5);
  StopWave();
}

// The voice cannot start: the message on the screen and on standard error
// with where the settings and the voice pack were looked for, three tones,
// then Enter ends the program with the code of a failed start.
[[noreturn]] void VoiceFailed(int error) {
  std::string first = Cp1252("Erro de inicialização: ") + std::to_string(error);
  std::string second = "Banco de dados de voz: " + g_voice.diphone_database;
  ConsoleWriteLine(first);
  ConsoleWriteLine(second);
  std::string settings = SettingsFile();
  std::string report = "quipular: " + Utf8(first) + "\nquipular: " + Utf8(second) + "\n";
  // With no descriptor left, nothing could be looked for: that is said,
  // not a settings file missing.
  int probe = open("/dev/null", O_RDONLY | O_CLOEXEC);
  int probe_error = errno;
  if (probe >= 0) close(probe);
  if (probe < 0 && (probe_error == EMFILE || probe_error == ENFILE))
    report += Format(_("quipular: cannot open the settings file and the voice pack: %s\n"),
                     std::strerror(probe_error));
  else
    report += settings.empty()
                  ? Format(_("quipular: no settings file VESTRA.INI in %s nor in %s\n"),
                           WindowsDirectory().c_str(), g_voice.startup_directory.c_str())
                  : Format(_("quipular: settings file %s\n"), settings.c_str());
  std::string diphones =
      ResolvePath(g_voice.diphone_directory.empty()
                      ? ReadProfile("TRADUTOR", "DIRDIFONES", "c:\\orbela\\som\\difones")
                      : g_voice.diphone_directory);
  std::string letters =
      ResolvePath(ReadProfile("TRADUTOR", "dirLetras", "c:\\orbela\\som\\letras"));
  report += Format(_("quipular: voice pack looked for in %s (diphones in %s, letters in %s)\n"),
                   VoiceRoot().c_str(), diphones.c_str(), letters.c_str());
  ExitMessage() = report;
  // Standard error that is not the terminal hears of it at once.
  if (!isatty(STDERR_FILENO)) std::fputs(report.c_str(), stderr);
  WarningTones();
  char line[128];
  try {
    ConsoleReadLine(line, sizeof line);
  } catch (const ProgramExit& e) {
    // A script that ends here ends for the voice's sake.
    if (e.code != kExitScriptEnded) throw;
  }
  ExitProgram(kExitVoiceFailed);
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

int CheckDiphoneDatabase() {
  std::string letters =
      ReadProfile("TRADUTOR", "dirLetras", "c:\\orbela\\som\\letras").substr(0, 79);
  DiphoneCheck now;
  now.letters = ResolvePath(letters);
  if (!IsDirectory(now.letters, &now.letters_written)) return 1;
  g_voice.diphone_directory =
      WithSlash(ReadProfile("TRADUTOR", "DIRDIFONES", "c:\\orbela\\som\\difones").substr(0, 79));
  now.diphones = ResolvePath(g_voice.diphone_directory);
  if (!IsDirectory(now.diphones, &now.diphones_written)) return 1;
  now.database = g_voice.diphone_database;
  DiphoneCheck& kept = g_voice_state.diphone_check;
  if (kept.answer >= 0 && kept.letters == now.letters && kept.diphones == now.diphones &&
      kept.database == now.database && SameStamp(kept.letters_written, now.letters_written) &&
      SameStamp(kept.diphones_written, now.diphones_written))
    return kept.answer;
  std::string base = g_voice.diphone_directory + g_voice.diphone_database;
  now.answer = 0;
  if (!Opens(base + ".IND") || !Opens(base + ".DIF"))
    now.answer = 1;
  else if (!Opens(g_voice.diphone_directory + "regras.rgr") ||
           !Opens(g_voice.diphone_directory + "portug.exc"))
    now.answer = 2;
  kept = now;
  return now.answer;
}

void StartVoice(int speed, const std::string& sound_directory) {
  if (speed < 1) {
    speed = std::atoi(ReadSetting("TRADUTOR", "VELOCIDADE").c_str());
    if (speed < 1 || speed > 5) speed = 3;
  }
  g_voice.speed = speed;
  std::string digit = std::to_string(speed);
  g_voice.diphone_database = ReadSetting("SINTETIZADOR", "DIFONES" + digit).substr(0, 8);
  SetPlaybackOptions(AskedFor(ReadSetting("SINTETIZADOR", "RAPIDINHO" + digit)),
                     AskedFor(ReadSetting("SINTETIZADOR", "CORTAFALA" + digit)));
  if (int error = CheckDiphoneDatabase(); error != 0) VoiceFailed(error);
  g_sounds.sound_directory = WithSlash(sound_directory);
  std::string letters = ReadProfile("TRADUTOR", "DIRLETRAS", "c:\\orbela\\som\\letras\\");
  if (letters.empty()) letters = "c:\\orbela\\som\\letras\\";  // present but empty means nothing
  g_sounds.key_letters_directory = WithSlash(letters);
  std::string names = ReadProfile("TRADUTOR", "dirLetras", "c:\\orbela\\som\\letras");
  if (names.empty()) names = "c:\\orbela\\som\\letras";
  g_sounds.letters_directory = WithSlash(names.substr(0, 79));
  // The calculator never gives a speech engine text, so the engine of this
  // system is a silent one: it starts when the settings ask for it and never
  // reports speaking; what the settings say of it is kept.
  g_voice.engine_active = false;
  if (AskedFor(ReadSetting("TRADUTOR", "SAPI"))) {
    g_voice.engine_voice = std::atoi(ReadSetting("SERVFALA", "VOZ").c_str());
    g_voice.engine_speed = std::atoi(ReadSetting("SERVFALA", "VELOCIDADE").c_str());
    g_voice.engine_pitch = std::atoi(ReadSetting("SERVFALA", "TOM").c_str());
    g_voice.engine_type = std::atoi(ReadSetting("SERVFALA", "TIPOSAPI").c_str());
    if (g_voice.engine_type != 4 && g_voice.engine_speed > 10) g_voice.engine_speed = 0;
    g_voice.engine_active = true;
  }
}

void SetUpVoice() {
  StartVoice(0, ReadSetting("QUIPULAR", "DIRQUIPULAR"));
}

}  // namespace quipular
